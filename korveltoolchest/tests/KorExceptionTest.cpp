#include "KorException.h"

#include <gtest/gtest.h>

TEST(KorException, ToStringHeadersAndMessages)
{
    std::string s;
    KorException e("m1", KorException::ERROR);
    e << KorException("m2", KorException::WARNING);
    e.ToString(s);
    EXPECT_EQ(s, "  --EXCEPTION ERROR--\nm1\nm2");

    KorException w("only", KorException::WARNING);
    w.ToString(s);
    EXPECT_EQ(s, "  --EXCEPTION WARNING--\nonly");

    KorException f("x", KorException::FATAL_ERROR);
    f.ToString(s);
    EXPECT_EQ(s, "  --EXCEPTION FATAL ERROR--\nx");

    KorException u("y", static_cast<KorException::eExceptionType>(7));
    u.ToString(s);
    EXPECT_EQ(s, "  --EXCEPTION UNKNOWN--\ny");
}

TEST(KorException, ChainingKeepsOuterFirstAndPromotesType)
{
    KorException inner("detail", KorException::FATAL_ERROR);
    KorException middle("line 3", KorException::WARNING);
    middle << inner;
    EXPECT_EQ(middle.GetType(), KorException::FATAL_ERROR);

    KorException outer("file a.obj", KorException::ERROR);
    outer << middle;
    EXPECT_EQ(outer.GetType(), KorException::FATAL_ERROR);
    ASSERT_EQ(outer.GetMessages().size(), 3u);
    EXPECT_EQ(outer.GetMessages()[0], "file a.obj");
    EXPECT_EQ(outer.GetMessages()[1], "line 3");
    EXPECT_EQ(outer.GetMessages()[2], "detail");

    // A lesser type never lowers the severity.
    KorException severe("s", KorException::FATAL_ERROR);
    severe << KorException("w", KorException::WARNING);
    EXPECT_EQ(severe.GetType(), KorException::FATAL_ERROR);
}

TEST(KorException, RethrowLevelByLevel)
{
    std::string text;
    try
    {
        try
        {
            throw KorException("Too many values", KorException::ERROR);
        }
        catch (const KorException& e)
        {
            KorException again("Load -> line 4", KorException::ERROR);
            again << e;
            throw again;
        }
    }
    catch (const KorException& e)
    {
        e.ToString(text);
    }
    EXPECT_EQ(text, "  --EXCEPTION ERROR--\nLoad -> line 4\nToo many values");
}

TEST(KorException, CopyIsIndependent)
{
    KorException a("a", KorException::WARNING);
    KorException b = a;
    b << KorException("b", KorException::ERROR);
    EXPECT_EQ(a.GetMessages().size(), 1u);
    EXPECT_EQ(a.GetType(), KorException::WARNING);
    a = b;
    EXPECT_EQ(a.GetMessages().size(), 2u);
}

TEST(KorReport, PrintsOneFlushedLine)
{
    testing::internal::CaptureStdout();
    KorReport("KorUndoManager::Undo", "The current function position is out of bounds");
    KorInfo("Growing Dictionary from 11 to 19 elements");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "KorUndoManager::Undo -> The current function position is out of bounds\n"
              "INFO : Growing Dictionary from 11 to 19 elements\n");
}
