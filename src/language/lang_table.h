#pragma once
// The indexed table of every text the user sees, with English defaults built in
// and language files laid over them.

#include <string>
#include <vector>

namespace qm {

constexpr int Lang_Table_Size = 1900;

// UTF-8 texts, indexed 0 to 1899. Empty until the first Load_Default_Strings; Lang gives the
// English defaults meanwhile.
extern std::vector<std::string> Lang_Table;

// The current text of an entry; a single blank for an index outside the table.
const std::string& Lang(int index);

// Clears the table and fills it with the 1900 built-in English defaults.
// (The table and its defaults are the library qm_strings; loading language files, below, is qm_language.)
void Load_Default_Strings();

// The built-in English default of an entry, whatever a language file set.
const std::string& Default_String(int index);

struct Language_Load_Result {
    bool ok = true;
    int lines_applied = 0;
    int invalid_characters = 0; // bad UTF-8 or UTF-16 in the file, shown as U+FFFD
    std::string message;        // names the file when it could not be read
};

// Lays the entries of one language file over the table (filling the defaults first if the
// table was never loaded). A file that cannot be read, is larger than 64 MiB or holds NUL
// characters (not a text file) changes nothing; the texts loaded so far stay.
Language_Load_Result Load_Language_File(const std::string& path);

// Defaults, then <language_dir>/<language>.lng; when that file is missing, language becomes
// "English" and English.lng is loaded if present.
Language_Load_Result Init_Language(const std::string& language_dir, std::string& language);

} // namespace qm
