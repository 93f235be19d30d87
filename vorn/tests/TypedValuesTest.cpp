// Numbers typed by the user: a decimal comma reads as the decimal point in
// every locale (this program runs once more under LC_ALL=fr_FR.UTF-8), while
// files keep the "C" convention alone.

#include "TypedValues.h"
#include "KorNumbers.h"
#include "ModelTestSupport.h"

#include <cmath>

namespace
{
TEST(TypedValues, DecimalCommaReadsAsAPoint)
{
    const struct
    {
        const char* text;
        double value;
    } cases[] = {{"12,5", 12.5},     {"12.5", 12.5}, {"-0,05", -0.05}, {",5", 0.5},
                 {"  7,25 m", 7.25}, {"1,2,3", 1.2}, {"1,5e2", 150.0}, {"12", 12.0},
                 {"", 0.0},          {"abc", 0.0},   {"+3,", 3.0},     {"-,", 0.0}};
    for (const auto& c : cases)
        EXPECT_EQ(TypedNumber(c.text), c.value) << c.text;
    EXPECT_EQ(WithDecimalPoints("1,2 , x"), "1.2 . x");
    // Files are not typed: their reader still stops at the comma.
    EXPECT_EQ(KorAtof("12,5"), 12.0);
}

class TypedValuesRead : public ModelTest
{
};

TEST_F(TypedValuesRead, FiniteValuesPassAndOthersAreRefusedWithOneMessage)
{
    double value = 0.0;
    EXPECT_TRUE(ReadFiniteValue("0,05", value));
    EXPECT_EQ(value, 0.05);
    EXPECT_TRUE(ui.Boxes.empty());
    for (const char* text : {"1e999", "nan", "-inf", "1,5e999"})
    {
        ui.ClearLog();
        EXPECT_FALSE(ReadFiniteValue(text, value)) << text;
        ASSERT_EQ(ui.Boxes.size(), 1u) << text;
        EXPECT_EQ(ui.Boxes[0].Text, "Les valeurs saisies doivent être des nombres réels finis");
    }
}
} // namespace
