#include "KorHashTable.h"
#include "KorHashWord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <sstream>

namespace
{
// djb2 worked independently of the library: 64-bit product reduced mod 2^32.
unsigned long Djb2Bucket(const std::string& name, unsigned long size)
{
    std::uint64_t h = 5381;
    for (unsigned char c : name)
        h = (h * 33 + c) % 4294967296ull;
    unsigned long b = static_cast<unsigned long>(h % size);
    return b == 0 ? 1 : b;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}
} // namespace

TEST(KorHashTable, PrimesAndSizes)
{
    for (unsigned long n : {2ul, 9ul, 25ul, 49ul})
        EXPECT_FALSE(CheckPrime(n)) << n;
    for (unsigned long n : {1ul, 3ul, 101ul})
        EXPECT_TRUE(CheckPrime(n)) << n;
    const std::pair<unsigned long, unsigned long> next[] = {{100, 101}, {0, 1}, {2, 3}, {24, 29}};
    for (const auto& [n, prime] : next)
        EXPECT_EQ(GetNextPrime(n), prime) << n;

    EXPECT_EQ(KorHashTable().GetSize(), 101u);
    EXPECT_EQ(KorHashTable(10, true).GetSize(), 11u);
    // Fewer than 3 buckets would put words in bucket 0, the refusal value.
    for (unsigned long n : {0ul, 1ul, 2ul})
    {
        KorHashTable t(n);
        EXPECT_EQ(t.GetSize(), 3u);
        KorHashWord words[] = {KorHashWord("a"), KorHashWord("b"), KorHashWord("c")};
        for (KorHashWord& w : words)
            EXPECT_NE(t.AddElement(&w), 0u);
        EXPECT_EQ(t.GetNumberOfWords(), 3u);
    }
}

TEST(KorHashTable, BucketsFollowDjb2)
{
    KorHashTable t;
    // 5381 mod 101 = 28 for the empty name; long names wrap the 32-bit sum.
    const std::vector<std::string> names = {"", "a", "V", "G1S[3]", std::string(200, 'z'), "\xe9t\xe9"};
    std::vector<std::unique_ptr<KorHashWord>> words;
    for (const std::string& n : names)
    {
        words.push_back(std::make_unique<KorHashWord>(n));
        EXPECT_EQ(t.AddElement(words.back().get()), Djb2Bucket(n, 101)) << n;
    }
    EXPECT_EQ(Djb2Bucket("", 101), 28u);
}

TEST(KorHashTable, SameNameRules)
{
    KorHashTable t;
    KorHashWord first("pile"), second("pile");
    const unsigned long h = t.AddElement(&first);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(t.AddElement(&second), 0u);
    EXPECT_EQ(t.Search("pile"), &first);
    EXPECT_TRUE(second.GetParentDictionaries().empty());

    EXPECT_EQ(t.AddNewElement(&second), h);
    std::vector<KorHashWord*> found;
    t.Search("pile", found);
    EXPECT_EQ(found, (std::vector<KorHashWord*>{&first, &second}));

    // The same word twice would leave a dangling entry behind its destructor.
    EXPECT_EQ(t.AddNewElement(&second), 0u);
    EXPECT_EQ(t.AddNewElement(nullptr), 0u);
    EXPECT_EQ(t.AddElement(nullptr), 0u);
    EXPECT_EQ(t.GetNumberOfWords(), 2u);

    EXPECT_TRUE(t.RemoveElement(&first));
    EXPECT_FALSE(t.RemoveElement(&first));
    EXPECT_EQ(t.Search("pile"), &second);
    EXPECT_EQ(t.Search("absent"), nullptr);
    t.Search("absent", found);
    EXPECT_TRUE(found.empty());
}

TEST(KorHashTable, GrowthMessageAndLookups)
{
    KorHashTable t(10, true);
    std::vector<std::unique_ptr<KorHashWord>> words;
    std::set<unsigned long> used;
    size_t grownAt = 0;
    testing::internal::CaptureStdout();
    for (int i = 0; i < 12; ++i)
    {
        words.push_back(std::make_unique<KorHashWord>("w" + std::to_string(i)));
        if (t.GetSize() == 11)
        {
            used.insert(Djb2Bucket(words.back()->GetName(), 11));
            if (used.size() == 8)
                grownAt = words.size();
        }
        t.AddElement(words.back().get());
        if (grownAt == words.size())
        {
            EXPECT_EQ(t.GetSize(), 19u);
        }
    }
    const std::vector<std::string> lines = Lines(testing::internal::GetCapturedStdout());
    ASSERT_NE(grownAt, 0u);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(lines[0], "INFO : Growing Dictionary from 11 to 19 elements");
    EXPECT_EQ(t.GetNumberOfWords(), 12u);
    for (const auto& w : words)
    {
        EXPECT_EQ(t.Search(w->GetName()), w.get());
        EXPECT_EQ(t.AddElement(w.get()), 0u);
    }
}

TEST(KorHashTable, HundredThousandWordsGrowAndLeave)
{
    const int n = 100000;
    KorHashTable t(101, true);
    KorHashTable plain(20011);
    std::vector<std::unique_ptr<KorHashWord>> words;
    words.reserve(n);
    testing::internal::CaptureStdout();
    for (int i = 0; i < n; ++i)
    {
        words.push_back(
            std::make_unique<KorHashWord>("G" + std::to_string(i) + "S[" + std::to_string(i % 7) + "]"));
        ASSERT_NE(t.AddElement(words.back().get()), 0u);
        ASSERT_NE(plain.AddElement(words.back().get()), 0u);
    }
    const std::vector<std::string> lines = Lines(testing::internal::GetCapturedStdout());
    const std::vector<std::string> firstSizes = {"101 to 181", "181 to 331", "331 to 599", "599 to 1087",
                                                 "1087 to 1973"};
    ASSERT_GE(lines.size(), firstSizes.size());
    for (size_t i = 0; i < firstSizes.size(); ++i)
        EXPECT_EQ(lines[i], "INFO : Growing Dictionary from " + firstSizes[i] + " elements");
    EXPECT_EQ(t.GetNumberOfWords(), static_cast<unsigned long>(n));
    EXPECT_TRUE(CheckPrime(t.GetSize()));
    EXPECT_EQ(plain.GetSize(), 20011u);

    std::vector<KorHashWord*> all;
    t.GetAllElements(all);
    EXPECT_EQ(all.size(), static_cast<size_t>(n));

    // Destroy every other word: each leaves both dictionaries.
    for (int i = 0; i < n; i += 2)
        words[i].reset();
    EXPECT_EQ(t.GetNumberOfWords(), static_cast<unsigned long>(n / 2));
    EXPECT_EQ(plain.GetNumberOfWords(), static_cast<unsigned long>(n / 2));
    for (int i = 0; i < n; ++i)
    {
        const std::string name = "G" + std::to_string(i) + "S[" + std::to_string(i % 7) + "]";
        KorHashWord* expected = (i % 2) ? words[i].get() : nullptr;
        ASSERT_EQ(t.Search(name), expected) << name;
        ASSERT_EQ(plain.Search(name), expected) << name;
    }
}

TEST(KorHashTable, DestroyedDictionaryIsForgotten)
{
    KorHashWord w("x");
    KorHashTable keep;
    keep.AddElement(&w);
    {
        KorHashTable gone;
        gone.AddElement(&w);
        EXPECT_EQ(w.GetParentDictionaries().size(), 2u);
    }
    ASSERT_EQ(w.GetParentDictionaries().size(), 1u);
    EXPECT_EQ(w.GetParentDictionaries()[0], &keep);
    keep.Clear();
    EXPECT_TRUE(w.GetParentDictionaries().empty());
    EXPECT_EQ(keep.GetNumberOfWords(), 0u);
    EXPECT_EQ(keep.Search("x"), nullptr);
    EXPECT_NE(keep.AddElement(&w), 0u);
}

TEST(KorHashWord, ChangeName)
{
    KorHashTable a, b;
    KorHashWord w("old"), taken("taken");
    a.AddElement(&w);
    b.AddElement(&w);
    b.AddElement(&taken);

    w.ChangeName("new");
    EXPECT_EQ(w.GetName(), "new");
    for (KorHashTable* t : {&a, &b})
    {
        EXPECT_EQ(t->Search("new"), &w);
        EXPECT_EQ(t->Search("old"), nullptr);
    }

    // A name held by another word of one dictionary: nothing moves.
    testing::internal::CaptureStdout();
    w.ChangeName("taken");
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "KorHashWord::ChangeName -> The name 'taken' is already used in a dictionary : name not changed\n");
    EXPECT_EQ(w.GetName(), "new");
    EXPECT_EQ(a.Search("new"), &w);
    EXPECT_EQ(b.Search("new"), &w);
    EXPECT_EQ(b.Search("taken"), &taken);
    EXPECT_EQ(b.GetNumberOfWords(), 2u);

    KorHashWord loose("loose");
    loose.ChangeName("taken");
    EXPECT_EQ(loose.GetName(), "taken");
}

TEST(KorHashWord, CopyIsInNoDictionary)
{
    KorHashTable t;
    KorHashWord w("w");
    t.AddElement(&w);
    KorHashWord copy(w);
    EXPECT_EQ(copy.GetName(), "w");
    EXPECT_TRUE(copy.GetParentDictionaries().empty());

    KorHashWord named("z");
    w = named;
    EXPECT_EQ(t.Search("z"), &w);
    EXPECT_EQ(t.Search("w"), nullptr);
}

TEST(KorHashTable, SortedListing)
{
    KorHashTable t;
    KorHashWord c("c"), a1("a"), b("b"), a2("a");
    t.AddElement(&c);
    t.AddElement(&a1);
    t.AddElement(&b);
    t.AddNewElement(&a2);
    std::vector<KorHashWord*> out{&c};
    t.GetAllElementsSorted(out);
    EXPECT_EQ(out, (std::vector<KorHashWord*>{&a1, &a2, &b, &c}));
}
