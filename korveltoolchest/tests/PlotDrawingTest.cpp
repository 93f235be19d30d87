#include "PlotDrawing.h"

#include <gtest/gtest.h>

#include <locale>
#include <stdexcept>

// Labels keep a '.' decimal point and six significant digits even when the
// global C++ locale uses a decimal comma.
TEST(PlotDrawingTest, LabelsUseSixSignificantDigitsAndADecimalPoint)
{
    std::locale french;
    try
    {
        french = std::locale("fr_FR.UTF-8");
    }
    catch (const std::runtime_error&)
    {
        GTEST_SKIP() << "no fr_FR.UTF-8 locale";
    }
    const std::locale previous = std::locale::global(french);
    EXPECT_EQ(PlotLabel(692.63412), "692.634");
    EXPECT_EQ(PlotLabel(-0.5), "-0.5");
    EXPECT_EQ(PlotLabel(100), "100");
    EXPECT_EQ(PlotLabel(1234567), "1.23457e+06");
    EXPECT_EQ(PlotLabel(0.0001), "0.0001");
    EXPECT_EQ(PlotLabel(0.00001), "1e-05");
    std::locale::global(previous);
}
