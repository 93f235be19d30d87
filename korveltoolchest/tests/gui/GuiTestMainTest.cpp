#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <wx/debug.h>

// A wx assertion must fail the running test, not open a dialog that would
// hang a headless run.
TEST(GuiTestMainTest, AWxAssertionFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(wxFAIL_MSG("deliberate"), "deliberate");
}
