#include "KorException.h"

#include <gtest/gtest.h>

TEST(KorException, ToStringHeadersAndMessages)
{
    std::string s;
    KorException e("m1", KorException::ERROR);
    e << KorException("m2", KorException::WARNING);
    e.ToString(s);
    EXPECT_EQ(s, "  --EXCEPTION ERROR--\nm1\nm2");

    const std::pair<int, const char*> headers[] = {
        {KorException::WARNING, "WARNING"}, {KorException::FATAL_ERROR, "FATAL ERROR"}, {7, "UNKNOWN"}};
    for (const auto& [type, header] : headers)
    {
        KorException(header, static_cast<KorException::eExceptionType>(type)).ToString(s);
        EXPECT_EQ(s, std::string("  --EXCEPTION ") + header + "--\n" + header);
    }
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
    EXPECT_EQ(outer.GetMessages(), (std::vector<std::string>{"file a.obj", "line 3", "detail"}));

    // A lesser type never lowers the severity.
    KorException severe("s", KorException::FATAL_ERROR);
    severe << KorException("w", KorException::WARNING);
    EXPECT_EQ(severe.GetType(), KorException::FATAL_ERROR);
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
