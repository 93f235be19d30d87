#include "KorException.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

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

namespace
{
// Faults the sanitizers must not catch first: they would report them
// before the processor does.
__attribute__((noipa, no_sanitize("undefined"))) int Divide(int a, int b)
{
    return a / b;
}

__attribute__((noipa, no_sanitize("address"))) int Read(const volatile int* p)
{
    return *p;
}

std::string FaultMessage(int signal)
{
    return "The Win32 exception " + std::to_string(signal) + "has been detected";
}
} // namespace

// The translation in a thread of its own, as a computing thread asks for
// it; the test's thread is left as it was. This file is compiled with
// -fnon-call-exceptions, which lets a faulting instruction throw.
TEST(KorException, TranslatedFaultsAreCaughtAsErrors)
{
    std::vector<std::string> caught;
    std::thread worker([&caught]
    {
        SetSETranslator();
        volatile int zero = 0;
        try
        {
            caught.push_back("no fault " + std::to_string(Divide(7, zero)));
        }
        catch (const KorException& e)
        {
            EXPECT_EQ(e.GetType(), KorException::ERROR);
            caught.insert(caught.end(), e.GetMessages().begin(), e.GetMessages().end());
        }
        // The thread goes on, and translates again.
        try
        {
            caught.push_back("no fault " + std::to_string(Read(reinterpret_cast<const volatile int*>(16))));
        }
        catch (const KorException& e)
        {
            caught.insert(caught.end(), e.GetMessages().begin(), e.GetMessages().end());
        }
    });
    worker.join();
    EXPECT_EQ(caught, (std::vector<std::string>{FaultMessage(SIGFPE), FaultMessage(SIGSEGV)}));
}

// A thread that did not ask for the translation keeps its fault, and the
// process ends, though another thread asked for it.
TEST(KorExceptionDeathTest, AThreadWithoutTheTranslatorStops)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            SetSETranslator();
            std::thread other([]
            {
                volatile int zero = 0;
                try
                {
                    std::printf("%d\n", Divide(7, zero));
                }
                catch (const KorException&)
                {
                    std::fprintf(stderr, "caught\n");
                }
                std::_Exit(0);
            });
            other.join();
        },
        "");
}
