#pragma once
// Qt's own texts (the file dialogs, the buttons of the message boxes, "Show Details...") in the
// language of the string table, from Qt's translation files.

#include <QString>

#include <string>

namespace qm::gui {

// The Qt language code of a language file's name ("Italiano" gives "it"); empty for English and
// for a language Qt's texts are not looked up for.
QString Qt_Language_Code(const std::string& language);

// Replaces the Qt translation in use by the one of the language; English, an unknown language or
// a missing translation file leave Qt's built-in English texts. True when a translation is in use.
bool Load_Qt_Translations(const std::string& language);

} // namespace qm::gui
