// The texts of the trench-head fields and the values they send back.

#include "TeteFieldText.h"
#include "LumPoint.h"
#include "ModelTestSupport.h"

#include <cmath>

namespace
{
TEST(TeteFieldText, ShowsSixDigitsAndAnglesInDegreesToOneDecimal)
{
    const struct
    {
        double stored;
        bool angle;
        const char* text;
    } cases[] = {{25.0, false, "25"},
                 {8.5, false, "8.5"},
                 {0.174533, true, "10"},
                 {ToRadian(10.04), true, "10"},
                 {ToRadian(12.35), true, "12.4"},
                 {1234567.0, false, "1.23457e+06"},
                 {static_cast<double>(12.3f), false, "12.3"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatTeteField(c.stored, c.angle), c.text) << c.stored;
}

TEST(TeteFieldText, UntouchedAnglesGoBackToTheStoredRadians)
{
    // Every hundredth of a degree over the range of the head's angles: the
    // radians a setter stored come back bit for bit; any other value (a cap,
    // a file's own) within an ulp.
    for (int i = -9000; i <= 9000; ++i)
    {
        const double stored = ToRadian(i / 100.0);
        EXPECT_EQ(ToRadian(TeteSetterValue(stored, true)), stored) << i;
        const double other = std::nextafter(stored, 2.0);
        EXPECT_LE(std::fabs(ToRadian(TeteSetterValue(other, true)) - other), std::fabs(other - stored)) << i;
    }
    EXPECT_EQ(TeteSetterValue(12.3, false), 12.3);
}

class TeteFieldRead : public ModelTest
{
};

TEST_F(TeteFieldRead, SendsTheStoredValueUntilTheTextChanges)
{
    const double stored = ToRadian(10.04);
    const struct
    {
        const char* text;
        double value;
        bool typed;
    } cases[] = {{"10", TeteSetterValue(stored, true), false},
                 {"10.0", 10.0, true},
                 {"", 0.0, true},
                 {"12,5", 12.5, true},
                 {"-3e1x", -30.0, true}};
    for (const auto& c : cases)
    {
        double value = -1.0;
        bool typed = !c.typed;
        ASSERT_TRUE(ReadTeteField(c.text, "10", stored, true, value, typed)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(typed, c.typed) << c.text;
    }
    EXPECT_TRUE(ui.Calls.empty());
    for (const char* text : {"1e999", "nan", "-inf"})
    {
        double value = 0.0;
        bool typed = false;
        EXPECT_FALSE(ReadTeteField(text, "10", stored, true, value, typed)) << text;
    }
    EXPECT_EQ(ui.Calls.size(), 3u);
}
} // namespace
