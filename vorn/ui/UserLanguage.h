#pragma once

#include <string>

// The toolkit's own texts in the user's language: stock buttons, message-box
// buttons and file dialogs (GTK's catalogues, which follow LC_MESSAGES) and
// the toolkit's generic dialogs and pickers (its "wxstd" catalogue). The
// process takes the user's locale from the environment for every category
// but LC_NUMERIC, which stays "C": the program's number code is
// locale-independent anyway (KorNumbers.h), and so are the toolkit's own
// conversions (wxString::Format, ToDouble) and any library's. The program's
// texts are French literals and go through no catalogue.
//
// Called once at start-up, after the toolkit started. Answers the locale the
// environment named, empty when it names none or one not installed (the
// texts then stay the toolkit's English ones).
std::string UseUserLanguage();
