#pragma once

#include <string>
#include <vector>

class KorHashWord;

// A dictionary of named words: separate chaining over a prime number of
// buckets (djb2 hash), optionally growing by about 1.8 when more than 70 % of
// the buckets have been used. Add and search cost O(1 + chain length); a
// growth re-adds every word, O(words).
//
// Invariants: a word is held at most once per dictionary and lists the
// dictionary among its parents exactly while it is held; the dictionary never
// owns or deletes its words. Bucket 0 is never used while there are two
// buckets or more, so 0 from the add operations means a refusal; the size is
// never below 3.
class KorHashTable
{
public:
    explicit KorHashTable(unsigned long size = 101, bool autoGrow = false);
    KorHashTable(const KorHashTable&) = delete;
    KorHashTable& operator=(const KorHashTable&) = delete;
    // Every word forgets the dictionary; none is deleted.
    virtual ~KorHashTable();

    unsigned long GetSize() const { return m_size; }
    unsigned long GetNumberOfWords() const { return m_words; }

    // Adds the word unless it is null or a word of the same name is held;
    // returns its bucket, or 0 when refused.
    unsigned long AddElement(KorHashWord* word);
    // Adds without the name check (several words may share a name); returns
    // its bucket, or 0 for a null word or one this dictionary already holds.
    unsigned long AddNewElement(KorHashWord* word);
    // Removes that very word; false when the dictionary does not hold it.
    virtual bool RemoveElement(KorHashWord* word);

    // The first word of that name, or null.
    KorHashWord* Search(const std::string& name) const;
    // Every word of that name, in insertion order.
    void Search(const std::string& name, std::vector<KorHashWord*>& out) const;

    // Removes every word (each forgets the dictionary) and resets the counters.
    void Clear();
    // Every word, bucket by bucket, each chain in insertion order.
    void GetAllElements(std::vector<KorHashWord*>& out) const;
    // The same, ordered by name (byte order); words of one name keep their
    // listing order.
    void GetAllElementsSorted(std::vector<KorHashWord*>& out) const;

protected:
    // djb2 in unsigned 32-bit arithmetic, modulo the size, raised to 1 when 0.
    unsigned long Hash(const char* name) const;
    // Rebuilds with n buckets (at least 3) and re-adds every word in listing
    // order; parent lists are unchanged.
    void SetSize(unsigned long n);
    // Grows to the first prime at or above trunc(size * 1.8).
    void GrowDictionary();

private:
    // Steps shared by both adds once the word is accepted.
    unsigned long Place(KorHashWord* word);

    unsigned long m_size = 0;
    std::vector<std::vector<KorHashWord*>> m_buckets;
    unsigned long m_usedBuckets = 0;
    unsigned long m_words = 0;
    double m_fillRatio = 0.0;
    bool m_autoGrow = false;
};

// Trial division by odd numbers up to sqrt(n): O(sqrt(n)). Every even number
// (2 included) is false; 1 is true.
bool CheckPrime(unsigned long n);
// The first odd number at or above n for which CheckPrime holds (0 gives 1).
unsigned long GetNextPrime(unsigned long n);
