// Test main for programs that open windows. wx is started once for the whole
// run; every wx assertion becomes a test failure instead of a modal dialog,
// and log messages go to standard error instead of message boxes, so a
// headless run never blocks.

#include "TestLocale.h"

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdio>

namespace
{
class GuiTestApp : public wxApp
{
public:
    bool OnInit() override { return true; }
};

void FailOnWxAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                    const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_str().data(), line)
        << "wx assertion \"" << cond.utf8_str().data() << "\" failed in " << func.utf8_str().data()
        << (msg.empty() ? "" : ": ") << msg.utf8_str().data();
}
} // namespace

wxIMPLEMENT_APP_NO_MAIN(GuiTestApp);

int main(int argc, char** argv)
{
    if (!TakeLocaleFromEnvironment())
        return 1;
    ::testing::InitGoogleTest(&argc, argv);

    // Listing the tests (CTest's discovery) needs no display.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();

    wxSetAssertHandler(FailOnWxAssert);
    wxInitializer initializer(argc, argv);
    if (!initializer.IsOk())
    {
        std::fprintf(stderr, "GuiTestMain: wxWidgets could not start (is there a display?)\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxInitAllImageHandlers();
    return RUN_ALL_TESTS();
}
