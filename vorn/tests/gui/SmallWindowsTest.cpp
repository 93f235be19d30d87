// The About box and the image window, as shown.

#include "DialogAPropos.h"
#include "GuiTestHelpers.h"
#include "ImageWindow.h"
#include "KorString.h"
#include "ProjetOVX.h"

#include <wx/dcclient.h>
#include <wx/stattext.h>

namespace
{
std::string Icons(const char* name)
{
    return std::string(VORN_SOURCE_DIR) + "/Icons/" + name;
}

TEST(AboutBox, ShowsVersionDateAndBothLogos)
{
    gProjet.SetApplicationFolder(VORN_SOURCE_DIR);
    DialogAPropos about;
    EXPECT_EQ(about.GetTitle(), "A propos");
    EXPECT_EQ(about.GetSize(), wxSize(350, 425));
    std::vector<std::string> texts;
    std::vector<ImageWindow*> pictures;
    for (wxWindow* child : about.GetChildren())
    {
        if (auto* text = dynamic_cast<wxStaticText*>(child))
            texts.push_back(text->GetLabel().ToUTF8().data());
        if (auto* picture = dynamic_cast<ImageWindow*>(child))
            pictures.push_back(picture);
    }
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[0], "Version : Ovalis 1.0.5");
    EXPECT_EQ(texts[1], "Date : 14/09/09");
    EXPECT_EQ(texts[2].rfind("Développé par ", 0), 0u);
    EXPECT_EQ(texts[5].rfind("Tel : ", 0), 0u);
    EXPECT_EQ(texts[6].rfind("Mail : ", 0), 0u);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_TRUE(pictures[0]->HasImage());
    EXPECT_TRUE(pictures[1]->HasImage());
    // The version text sits below the owner's logo.
    about.Layout();
    EXPECT_GT(about.GetChildren()[1]->GetPosition().y,
              pictures[0]->GetPosition().y + pictures[0]->GetSize().y);
}

using ImageWindowTest = GuiTest::FrameTest;

TEST_F(ImageWindowTest, ShowsABmpAtItsSizeAndAnythingElseBlack)
{
    const struct
    {
        const char* name;
        wxSize size;
    } cases[] = {{"vorn.bmp", {180, 70}},
                 {"Variables1.bmp", {300, 180}},
                 {"IconeVorn.png", {10, 10}},
                 {"Missing.bmp", {10, 10}},
                 {"Korvel.bmp", {180, 50}}};
    auto* window = new ImageWindow(panel, Icons("Variables1.bmp"), wxPoint(5, 5));
    for (const auto& c : cases)
    {
        window->SetImage(Icons(c.name));
        EXPECT_EQ(window->GetSize(), c.size) << c.name;
    }
    // The 10 x 10 window of a missing picture paints black.
    window->SetImage(Icons("Missing.bmp"));
    ASSERT_TRUE(ShowAndWait(window));
    window->Refresh();
    window->Update();
    GuiTest::Pump(50);
    wxClientDC dc(window);
    wxColour pixel;
    ASSERT_TRUE(dc.GetPixel(5, 5, &pixel));
    EXPECT_EQ(pixel, *wxBLACK);
}
} // namespace
