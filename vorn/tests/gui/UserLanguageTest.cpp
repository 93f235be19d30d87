// The toolkit's own texts in the user's language, numbers untouched: with a
// French locale the save prompt's buttons read "Oui", "Non", "Annuler" and
// the new-layer dialog's file button "Parcourir", while every number the
// program or the toolkit reads or writes keeps the decimal point.

#include "UserLanguage.h"
#include "AnsweringUi.h"
#include "DialogNouvelleCouche.h"
#include "FenetreTunnel.h"
#include "FrameUi.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "KorNumbers.h"
#include "KorString.h"
#include "ProjectFrameTest.h"
#include "ProjetOVX.h"
#include "TypedValues.h"

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/filepicker.h>
#include <wx/stockitem.h>
#include <wx/translation.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <string>
#include <vector>

namespace
{
// The few GTK functions the test needs, found at run time in the GTK the
// toolkit loaded: the build has no GTK headers. Message boxes are GTK's own
// dialogs, not toolkit windows, so their buttons are read through GTK.
using GType = unsigned long;
struct GList
{
    void* data;
    GList* next;
    GList* prev;
};
template <class Function> Function Gtk(const char* name)
{
    auto* found = reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}
bool IsA(void* instance, const char* typeFunction)
{
    const GType type = Gtk<GType (*)()>(typeFunction)();
    return Gtk<int (*)(void*, GType)>("g_type_check_instance_is_a")(instance, type) != 0;
}
// The texts of the labels inside a widget, depth first.
void CollectTexts(void* widget, void* texts)
{
    if (IsA(widget, "gtk_label_get_type"))
        static_cast<std::vector<std::string>*>(texts)->push_back(
            Gtk<const char* (*)(void*)>("gtk_label_get_text")(widget));
    if (IsA(widget, "gtk_container_get_type"))
        Gtk<void (*)(void*, void (*)(void*, void*), void*)>("gtk_container_forall")(widget, CollectTexts,
                                                                                    texts);
}
// The shown message box, or null.
void* FindMessageBox()
{
    GList* windows = Gtk<GList* (*)()>("gtk_window_list_toplevels")();
    void* found = nullptr;
    for (GList* w = windows; w && !found; w = w->next)
        if (IsA(w->data, "gtk_message_dialog_get_type") &&
            Gtk<int (*)(void*)>("gtk_widget_get_visible")(w->data))
            found = w->data;
    Gtk<void (*)(GList*)>("g_list_free")(windows);
    return found;
}
// The text shown on the box's button of that GTK response.
std::string ButtonText(void* box, int response)
{
    void* button = Gtk<void* (*)(void*, int)>("gtk_dialog_get_widget_for_response")(box, response);
    std::vector<std::string> texts;
    if (button)
        CollectTexts(button, &texts);
    std::string all;
    for (const std::string& text : texts)
        all += text;
    return all;
}
constexpr int GtkYes = -8, GtkNo = -9, GtkCancel = -6;

std::string Utf8(const wxString& text)
{
    return std::string(text.ToUTF8().data());
}

// The user's environment names the French locale for the test's length;
// the process locale, the environment and the toolkit's catalogue are put
// back after it.
class FrenchUser : public ::testing::Test
{
protected:
    void SetUp() override
    {
        savedLocale = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"LC_ALL", "LANGUAGE"})
        {
            const char* value = std::getenv(name);
            savedEnvironment.push_back({name, value ? value : "", value != nullptr});
        }
        setenv("LC_ALL", "fr_FR.UTF-8", 1);
        unsetenv("LANGUAGE");
        taken = UseUserLanguage();
    }
    void TearDown() override
    {
        wxTranslations::Set(nullptr);
        for (const Saved& saved : savedEnvironment)
        {
            if (saved.set)
                setenv(saved.name, saved.value.c_str(), 1);
            else
                unsetenv(saved.name);
        }
        std::setlocale(LC_ALL, savedLocale.c_str());
    }

    struct Saved
    {
        const char* name;
        std::string value;
        bool set;
    };
    std::string savedLocale;
    std::vector<Saved> savedEnvironment;
    std::string taken;
};
} // namespace

TEST_F(FrenchUser, MessagesFollowTheUserNumbersStayInTheCConvention)
{
    ASSERT_EQ(taken, "fr_FR.UTF-8") << "the French locale is installed by scripts/install-deps.sh";
    EXPECT_STREQ(std::setlocale(LC_MESSAGES, nullptr), "fr_FR.UTF-8");
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");

    // The toolkit's catalogue.
    EXPECT_EQ(Utf8(wxGetTranslation("Browse")), "Parcourir");
    EXPECT_EQ(Utf8(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS)), "Annuler");

    // Numbers: the program's readers and writers, the C library's and the
    // toolkit's conversions all keep the point; a typed comma is a point.
    EXPECT_EQ(KorAtof("12.5"), 12.5);
    EXPECT_EQ(KorFormatDouble(12.5), "12.5");
    EXPECT_EQ(KorFormatFixed(-33.85, 2), "-33.85");
    EXPECT_EQ(TypedNumber("12,5"), 12.5);
    EXPECT_EQ(std::atof("12.5"), 12.5);
    char printed[32];
    std::snprintf(printed, sizeof printed, "%g", 12.5);
    EXPECT_STREQ(printed, "12.5");
    EXPECT_EQ(Utf8(wxString::Format("%.2f", 12.5)), "12.50");
    double read = 0.0;
    EXPECT_TRUE(wxString("12.5").ToDouble(&read));
    EXPECT_EQ(read, 12.5);
}

// The frame's own question when a modified project is closed, as the user
// sees it, and the new-layer dialog's file button.
TEST_F(FrenchUser, SavePromptAndFileButtonInFrench)
{
    FenetreTunnel* frame = ShowProgramFrame();
    EnterCreationMode(false);
    ASSERT_TRUE(GuiTest::WaitFor([frame] { return frame->IsShownOnScreen(); }));
    const std::string path = WriteTempProject();
    gProjet.Open(path);
    gProjet.MarkModified();

    // The real box, read and answered Annuler from inside its own loop; a
    // box never found is ended by the second timer.
    std::vector<std::string> buttons;
    GuiTest::OneShot read(
        [&buttons]
        {
            void* box = FindMessageBox();
            if (!box)
                return;
            for (int response : {GtkYes, GtkNo, GtkCancel})
                buttons.push_back(ButtonText(box, response));
            Gtk<void (*)(void*, int)>("gtk_dialog_response")(box, GtkCancel);
        });
    GuiTest::OneShot rescue(
        []
        {
            if (void* box = FindMessageBox())
                Gtk<void (*)(void*, int)>("gtk_dialog_response")(box, GtkCancel);
        });
    read.StartOnce(400);
    rescue.StartOnce(5000);
    EXPECT_EQ(gProjet.Close(), ModelUi::IdCancel);
    EXPECT_EQ(buttons, (std::vector<std::string>{"Oui", "Non", "Annuler"}));

    auto* dialog = new DialogNouvelleCouche(frame);
    EXPECT_EQ(Utf8(dialog->GetFilePicker()->GetPickerCtrl()->GetLabel()), "Parcourir");
    dialog->Destroy();

    // Closed without a question.
    auto quiet = std::make_unique<AnsweringUi>(frame);
    SetModelUi(quiet.get());
    CloseMainFrame();
    std::remove(path.c_str());
}
