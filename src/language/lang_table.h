#pragma once
// Language files laid over the string table (lang_strings.h, included for its users).

#include <string>

#include "language/lang_strings.h"

namespace qm {

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
