#include "KorHashTable.h"

#include "KorException.h"
#include "KorHashWord.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
// With one bucket every word would land in bucket 0, which the add operations
// use to mean a refusal.
constexpr unsigned long kMinimumSize = 3;
constexpr double kGrowthRatio = 0.7;
} // namespace

bool CheckPrime(unsigned long n)
{
    if (n % 2 == 0)
        return false;
    const auto limit = static_cast<unsigned long>(std::floor(std::sqrt(static_cast<double>(n)))) + 1;
    for (unsigned long d = 3; d < limit; d += 2)
        if (n % d == 0)
            return false;
    return true;
}

unsigned long GetNextPrime(unsigned long n)
{
    if (n % 2 == 0)
        ++n;
    while (!CheckPrime(n))
        n += 2;
    return n;
}

KorHashTable::KorHashTable(unsigned long size, bool autoGrow) : m_autoGrow(autoGrow)
{
    m_size = std::max(GetNextPrime(size), kMinimumSize);
    m_buckets.resize(m_size);
}

KorHashTable::~KorHashTable()
{
    Clear();
}

unsigned long KorHashTable::Hash(const char* name) const
{
    std::uint32_t h = 5381;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p)
        h = h + (h << 5) + *p;
    unsigned long index = static_cast<unsigned long>(h) % m_size;
    if (m_size >= 2 && index == 0)
        index = 1;
    return index;
}

unsigned long KorHashTable::AddElement(KorHashWord* word)
{
    if (!word || Search(word->GetName()))
        return 0;
    return Place(word);
}

unsigned long KorHashTable::AddNewElement(KorHashWord* word)
{
    // A second entry of the same word would outlive it: its destructor
    // removes one entry per dictionary.
    if (!word || word->HasParentDictionary(this))
        return 0;
    return Place(word);
}

unsigned long KorHashTable::Place(KorHashWord* word)
{
    unsigned long h = Hash(word->GetName().c_str());
    if (m_buckets[h].empty())
    {
        ++m_usedBuckets;
        m_fillRatio = static_cast<double>(m_usedBuckets) / static_cast<double>(m_size);
        if (m_fillRatio > kGrowthRatio && m_autoGrow)
        {
            GrowDictionary();
            h = Hash(word->GetName().c_str());
        }
    }
    m_buckets[h].push_back(word);
    word->AddParentDictionary(this);
    ++m_words;
    return h;
}

bool KorHashTable::RemoveElement(KorHashWord* word)
{
    if (!word)
        return false;
    std::vector<KorHashWord*>& chain = m_buckets[Hash(word->GetName().c_str())];
    const auto it = std::find(chain.begin(), chain.end(), word);
    if (it == chain.end())
        return false;
    chain.erase(it);
    word->RemoveParentDictionary(this);
    --m_words;
    return true;
}

KorHashWord* KorHashTable::Search(const std::string& name) const
{
    for (KorHashWord* w : m_buckets[Hash(name.c_str())])
        if (w->GetName() == name)
            return w;
    return nullptr;
}

void KorHashTable::Search(const std::string& name, std::vector<KorHashWord*>& out) const
{
    out.clear();
    for (KorHashWord* w : m_buckets[Hash(name.c_str())])
        if (w->GetName() == name)
            out.push_back(w);
}

void KorHashTable::Clear()
{
    std::vector<KorHashWord*> all;
    GetAllElements(all);
    for (KorHashWord* w : all)
        if (!RemoveElement(w))
            w->RemoveParentDictionary(this);
    m_usedBuckets = 0;
    m_words = 0;
    m_fillRatio = 0.0;
    m_buckets.assign(m_size, std::vector<KorHashWord*>());
}

void KorHashTable::GetAllElements(std::vector<KorHashWord*>& out) const
{
    out.clear();
    out.reserve(m_words);
    for (const std::vector<KorHashWord*>& chain : m_buckets)
        out.insert(out.end(), chain.begin(), chain.end());
}

void KorHashTable::GetAllElementsSorted(std::vector<KorHashWord*>& out) const
{
    GetAllElements(out);
    std::stable_sort(out.begin(), out.end(),
                     [](const KorHashWord* a, const KorHashWord* b) { return a->GetName() < b->GetName(); });
}

void KorHashTable::SetSize(unsigned long n)
{
    std::vector<std::vector<KorHashWord*>> old;
    old.swap(m_buckets);
    m_size = std::max(n, kMinimumSize);
    m_buckets.assign(m_size, std::vector<KorHashWord*>());
    m_usedBuckets = 0;
    m_words = 0;
    m_fillRatio = 0.0;
    // With auto-grow a re-add may grow again; that nested resize takes the
    // words placed so far and this loop goes on placing the rest.
    for (const std::vector<KorHashWord*>& chain : old)
        for (KorHashWord* w : chain)
            Place(w);
}

void KorHashTable::GrowDictionary()
{
    unsigned long next = static_cast<unsigned long>(static_cast<double>(m_size) * 1.8);
    next = GetNextPrime(next);
    KorInfo("Growing Dictionary from " + std::to_string(m_size) + " to " + std::to_string(next) +
            " elements");
    SetSize(next);
}
