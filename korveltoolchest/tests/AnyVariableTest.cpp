#include "AnyVariable.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
// Runs a read-out and returns what it printed.
template <typename F> std::string Printed(F readOut)
{
    testing::internal::CaptureStdout();
    readOut();
    return testing::internal::GetCapturedStdout();
}

// Stores value, checks the tag and reads it back out.
template <typename T> T Through(AnyVariable& v, const T& value, int tag)
{
    v = value;
    EXPECT_EQ(v.GetType(), tag);
    T out{};
    out << v;
    return out;
}

// A read-out of the wrong type prints the type's line and gives zero.
template <typename T>
void ExpectRefused(const AnyVariable& v, T start, const T& zero, const std::string& what)
{
    const std::string type = what.substr(what.find(' ') + 1);
    EXPECT_EQ(Printed([&] { start << v; }),
              "operator << " + type + " -> The AnyVariable does not represent " + what + "\n");
    EXPECT_EQ(start, zero) << what;
}
} // namespace

TEST(AnyVariable, StoreAndReadEachType)
{
    AnyVariable v;
    EXPECT_EQ(v.GetType(), 0);
    EXPECT_EQ(Through(v, 42, 1), 42);
    EXPECT_EQ(Through(v, 0.1f, 2), 0.1f);
    EXPECT_EQ(Through(v, 6612345.678, 3), 6612345.678);
    EXPECT_TRUE(Through(v, true, 5));
    EXPECT_EQ(Through(v, std::string("é€ a"), 4), "é€ a");
    EXPECT_EQ(Through(v, LumPoint(1, 2, 3), 9).y, 2.0);
    int target = 7;
    EXPECT_EQ(Through(v, static_cast<void*>(&target), 8), &target);
    // A literal is a string, not the bool true.
    v = "Couche 1";
    std::string s;
    s << v;
    EXPECT_EQ(v.GetType(), 4);
    EXPECT_EQ(s, "Couche 1");
}

TEST(AnyVariable, WrongTagPrintsAndGivesZero)
{
    ExpectRefused(AnyVariable(), 5, 0, "an int");
    AnyVariable v;
    v = std::string("x");
    ExpectRefused(v, 1.0f, 0.0f, "a float");
    ExpectRefused(v, 1.0, 0.0, "a double");
    ExpectRefused(v, true, false, "a bool");
    LumPoint p(1, 1, 1);
    ExpectRefused<void*>(v, &p, nullptr, "a void*");
    EXPECT_EQ(Printed([&] { p << v; }),
              "operator << LumPoint -> The AnyVariable does not represent a LumPoint\n");
    EXPECT_TRUE(p.IsNull());
    v = 3;
    ExpectRefused(v, std::string("keep?"), std::string(), "a string");
    // The variable itself is unchanged by a failed read-out.
    int i = 0;
    i << v;
    EXPECT_EQ(i, 3);
}

TEST(AnyVariable, FloatAndDoubleReadEachOther)
{
    AnyVariable v;
    v = 0.1;
    float f = 0;
    EXPECT_EQ(Printed([&] { f << v; }), "");
    EXPECT_EQ(f, 0.1f);
    v = 0.1f;
    double d = 0;
    EXPECT_EQ(Printed([&] { d << v; }), "");
    EXPECT_EQ(d, static_cast<double>(0.1f));
}

TEST(AnyVariable, CopiesAreIndependent)
{
    auto source = std::make_unique<AnyVariable>();
    *source = LumPoint(6612345.678, 2123456.789, 512.25);
    AnyVariable copy(*source);
    AnyVariable assigned;
    assigned = 1;
    assigned = *source;
    *source = LumPoint(0, 0, 0);
    source.reset();
    LumPoint p;
    p << copy;
    EXPECT_EQ(p.x, 6612345.678);
    p << assigned;
    EXPECT_EQ(p.z, 512.25);

    AnyVariable text;
    text = std::string("old");
    AnyVariable other(text);
    text = std::string("new");
    std::string s;
    s << other;
    EXPECT_EQ(s, "old");
    // Storing another type after a string: the string is no longer seen.
    text = 4;
    EXPECT_EQ(Printed([&] { s << text; }),
              "operator << string -> The AnyVariable does not represent a string\n");
}
