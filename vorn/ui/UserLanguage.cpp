#include "UserLanguage.h"

#include <wx/translation.h>

#include <clocale>

std::string UseUserLanguage()
{
    const char* taken = std::setlocale(LC_ALL, "");
    // One category the environment names wrongly makes the whole call fail;
    // the messages alone may still be there.
    if (!taken)
        taken = std::setlocale(LC_MESSAGES, "");
    std::setlocale(LC_NUMERIC, "C");

    // The toolkit owns the object and deletes the one it replaces.
    auto* translations = new wxTranslations;
    wxTranslations::Set(translations);
    translations->AddStdCatalog();
    return taken ? std::string(std::setlocale(LC_MESSAGES, nullptr)) : std::string();
}
