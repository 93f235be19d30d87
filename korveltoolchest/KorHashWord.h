#pragma once

#include <string>
#include <vector>

class KorHashTable;

// A named object that can sit in any number of KorHashTable dictionaries.
// Invariant: the word lists exactly the dictionaries whose chains hold it,
// each once, so renaming or destroying the word keeps every dictionary right.
// Dictionaries never own their words.
class KorHashWord
{
public:
    KorHashWord();
    explicit KorHashWord(const std::string& name);
    // A copy has the same name and sits in no dictionary (a copied parent list
    // would name dictionaries that do not hold the copy).
    KorHashWord(const KorHashWord& other);
    // Takes the other's name as ChangeName does; stays in its own dictionaries.
    KorHashWord& operator=(const KorHashWord& other);
    // Leaves every dictionary that holds the word.
    virtual ~KorHashWord();

    const std::string& GetName() const { return m_name; }

    // Renames the word in every dictionary that holds it. When one of them
    // already holds another word of the new name, nothing changes and a
    // failure line is printed (the word stays where it was).
    void ChangeName(const std::string& name);

    // Bookkeeping called by KorHashTable; a dictionary is listed at most once.
    void AddParentDictionary(KorHashTable* dictionary);
    void RemoveParentDictionary(KorHashTable* dictionary);
    bool HasParentDictionary(const KorHashTable* dictionary) const;
    const std::vector<KorHashTable*>& GetParentDictionaries() const { return m_parents; }

private:
    std::string m_name;
    std::vector<KorHashTable*> m_parents;
};
