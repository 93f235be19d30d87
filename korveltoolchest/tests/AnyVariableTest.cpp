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
} // namespace

TEST(AnyVariable, StoreAndReadEachType)
{
    AnyVariable v;
    EXPECT_EQ(v.GetType(), 0);
    int i = 0;
    v = 42;
    i << v;
    EXPECT_EQ(v.GetType(), 1);
    EXPECT_EQ(i, 42);
    float f = 0;
    v = 0.1f;
    f << v;
    EXPECT_EQ(v.GetType(), 2);
    EXPECT_EQ(f, 0.1f);
    double d = 0;
    v = 6612345.678;
    d << v;
    EXPECT_EQ(v.GetType(), 3);
    EXPECT_EQ(d, 6612345.678);
    bool b = false;
    v = true;
    b << v;
    EXPECT_EQ(v.GetType(), 5);
    EXPECT_TRUE(b);
    std::string s;
    v = std::string("é€ a");
    s << v;
    EXPECT_EQ(v.GetType(), 4);
    EXPECT_EQ(s, "é€ a");
    // A literal is a string, not the bool true.
    v = "Couche 1";
    s << v;
    EXPECT_EQ(v.GetType(), 4);
    EXPECT_EQ(s, "Couche 1");
    LumPoint p;
    v = LumPoint(1, 2, 3);
    p << v;
    EXPECT_EQ(v.GetType(), 9);
    EXPECT_EQ(p.y, 2.0);
    int target = 7;
    void* out = nullptr;
    v = &target;
    out << v;
    EXPECT_EQ(v.GetType(), 8);
    EXPECT_EQ(out, &target);
}

TEST(AnyVariable, WrongTagPrintsAndGivesZero)
{
    AnyVariable empty;
    int i = 5;
    EXPECT_EQ(Printed([&] { i << empty; }), "operator << int -> The AnyVariable does not represent an int\n");
    EXPECT_EQ(i, 0);

    AnyVariable v;
    v = std::string("x");
    float f = 1;
    EXPECT_EQ(Printed([&] { f << v; }), "operator << float -> The AnyVariable does not represent a float\n");
    EXPECT_EQ(f, 0.0f);
    double d = 1;
    EXPECT_EQ(Printed([&] { d << v; }),
              "operator << double -> The AnyVariable does not represent a double\n");
    EXPECT_EQ(d, 0.0);
    bool b = true;
    EXPECT_EQ(Printed([&] { b << v; }), "operator << bool -> The AnyVariable does not represent a bool\n");
    EXPECT_FALSE(b);
    LumPoint p(1, 1, 1);
    EXPECT_EQ(Printed([&] { p << v; }),
              "operator << LumPoint -> The AnyVariable does not represent a LumPoint\n");
    EXPECT_TRUE(p.IsNull());
    void* ptr = &p;
    EXPECT_EQ(Printed([&] { ptr << v; }),
              "operator << void* -> The AnyVariable does not represent a void*\n");
    EXPECT_EQ(ptr, nullptr);
    v = 3;
    std::string s = "keep?";
    EXPECT_EQ(Printed([&] { s << v; }),
              "operator << string -> The AnyVariable does not represent a string\n");
    EXPECT_EQ(s, "");
    // The variable itself is unchanged by a failed read-out.
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
