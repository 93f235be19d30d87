#include "wxPicture.h"

#include "GuiTestHelpers.h"

#include <gtest/gtest.h>

#include <wx/filename.h>

#include <cstdio>
#include <string>

namespace
{
// A w x h image, red with a one-pixel blue column at x = w / 2, saved as PNG;
// the thin column is lost by any shrinking, so it shows whether a rescale
// started from the original.
std::string WriteImage(int w, int h)
{
    wxImage image(w, h);
    image.SetRGB(wxRect(0, 0, w, h), 255, 0, 0);
    image.SetRGB(wxRect(w / 2, 0, 1, h), 0, 0, 255);
    const std::string path = wxFileName::CreateTempFileName("wxPictureTest").ToStdString() + ".png";
    EXPECT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG));
    return path;
}

void Resize(wxWindow* window, int w, int h)
{
    window->SetSize(w, h);
    wxSizeEvent event(window->GetSize(), window->GetId());
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}
} // namespace

using wxPictureTest = GuiTest::FrameTest;

// The image keeps its proportions, fills one dimension and is centred in the other.
TEST_F(wxPictureTest, FitsAndCentresTheImageInBothOrientations)
{
    struct Case
    {
        int w, h;
        wxSize scaled;
        wxPoint origin;
    };
    for (const Case& c :
         {Case{200, 100, wxSize(300, 150), wxPoint(0, 75)}, Case{100, 200, wxSize(150, 300), wxPoint(75, 0)}})
    {
        const std::string path = WriteImage(c.w, c.h);
        auto* picture = new wxPicture(panel, path);
        EXPECT_EQ(picture->GetSize(), wxSize(c.w, c.h));
        picture->SetBackground(wxColour(0, 255, 0));
        Resize(picture, 300, 300);
        EXPECT_EQ(picture->GetScaledImage().GetSize(), c.scaled);

        const wxImage shown = GuiTest::Render(*picture, wxSize(300, 300));
        const wxPoint o = c.origin;
        const wxPoint far(o.x + c.scaled.x - 1, o.y + c.scaled.y - 1);
        EXPECT_EQ(GuiTest::PixelAt(shown, o.x, o.y), *wxRED);
        EXPECT_EQ(GuiTest::PixelAt(shown, far.x, far.y), *wxRED);
        // Just outside the image on the centred side: the background.
        if (o.y > 0)
        {
            EXPECT_EQ(GuiTest::PixelAt(shown, 0, o.y - 1), wxColour(0, 255, 0));
            EXPECT_EQ(GuiTest::PixelAt(shown, 0, far.y + 1), wxColour(0, 255, 0));
        }
        else
        {
            EXPECT_EQ(GuiTest::PixelAt(shown, o.x - 1, 0), wxColour(0, 255, 0));
            EXPECT_EQ(GuiTest::PixelAt(shown, far.x + 1, 0), wxColour(0, 255, 0));
        }
        picture->Destroy();
        std::remove(path.c_str());
    }
}

TEST_F(wxPictureTest, UnreadableFileGivesASmallBlackWindow)
{
    auto* picture = new wxPicture(panel, "/nonexistent/picture.png");
    EXPECT_EQ(picture->GetSize(), wxSize(10, 10));
    EXPECT_FALSE(picture->GetScaledImage().IsOk());
    picture->SetBackground(*wxWHITE);
    EXPECT_EQ(GuiTest::PixelAt(GuiTest::Render(*picture, wxSize(10, 10)), 5, 5), *wxBLACK);
}

// Shrinking then growing back gives the original pixels, thin column
// included, even with the file gone: every rescale starts from the image
// read once.
TEST_F(wxPictureTest, RescalesFromTheOriginalNotFromTheFileNorAnEarlierCopy)
{
    const std::string path = WriteImage(200, 100);
    auto* picture = new wxPicture(panel, path);
    std::remove(path.c_str());
    Resize(picture, 20, 10);
    ASSERT_EQ(picture->GetScaledImage().GetSize(), wxSize(20, 10));
    Resize(picture, 200, 100);
    const wxImage& grown = picture->GetScaledImage();
    ASSERT_EQ(grown.GetSize(), wxSize(200, 100));
    EXPECT_EQ(GuiTest::PixelAt(grown, 100, 50), *wxBLUE);
    EXPECT_EQ(GuiTest::PixelAt(grown, 99, 50), *wxRED);
    EXPECT_EQ(GuiTest::PixelAt(grown, 101, 50), *wxRED);
}

// A window thinner than one pixel of the scaled image still gets a valid image.
TEST_F(wxPictureTest, NeverScalesToAZeroSize)
{
    const std::string path = WriteImage(200, 100);
    auto* picture = new wxPicture(panel, path);
    std::remove(path.c_str());
    Resize(picture, 1, 300); // full width: height 1 / 2 truncates to 0
    EXPECT_TRUE(picture->GetScaledImage().IsOk());
    EXPECT_EQ(picture->GetScaledImage().GetSize(), wxSize(1, 1));
    Resize(picture, 300, 1);
    EXPECT_EQ(picture->GetScaledImage().GetSize(), wxSize(2, 1));
}
