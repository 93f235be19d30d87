#include "KorHashWord.h"

#include "KorException.h"
#include "KorHashTable.h"

#include <algorithm>

KorHashWord::KorHashWord() = default;

KorHashWord::KorHashWord(const std::string& name) : m_name(name)
{
}

KorHashWord::KorHashWord(const KorHashWord& other) : m_name(other.m_name)
{
}

KorHashWord& KorHashWord::operator=(const KorHashWord& other)
{
    if (this != &other)
        ChangeName(other.m_name);
    return *this;
}

KorHashWord::~KorHashWord()
{
    // Each RemoveElement drops the last entry; a dictionary that no longer
    // holds the word (cannot happen while the invariant holds) is dropped here
    // so the loop always ends.
    while (!m_parents.empty())
    {
        KorHashTable* last = m_parents.back();
        if (!last->RemoveElement(this))
            RemoveParentDictionary(last);
    }
}

void KorHashWord::ChangeName(const std::string& name)
{
    if (name == m_name)
        return;
    for (KorHashTable* dictionary : m_parents)
    {
        std::vector<KorHashWord*> holders;
        dictionary->Search(name, holders);
        for (KorHashWord* w : holders)
        {
            if (w != this)
            {
                KorReport("KorHashWord::ChangeName",
                          "The name '" + name + "' is already used in a dictionary : name not changed");
                return;
            }
        }
    }
    // The bucket depends on the name: leave every dictionary under the old
    // name, then enter again under the new one.
    const std::vector<KorHashTable*> parents = m_parents;
    for (KorHashTable* dictionary : parents)
        dictionary->RemoveElement(this);
    m_name = name;
    for (KorHashTable* dictionary : parents)
        dictionary->AddElement(this);
}

void KorHashWord::AddParentDictionary(KorHashTable* dictionary)
{
    if (!HasParentDictionary(dictionary))
        m_parents.push_back(dictionary);
}

void KorHashWord::RemoveParentDictionary(KorHashTable* dictionary)
{
    const auto it = std::find(m_parents.rbegin(), m_parents.rend(), dictionary);
    if (it != m_parents.rend())
        m_parents.erase(std::next(it).base());
}

bool KorHashWord::HasParentDictionary(const KorHashTable* dictionary) const
{
    return std::find(m_parents.begin(), m_parents.end(), dictionary) != m_parents.end();
}
