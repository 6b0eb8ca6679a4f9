#pragma once
// The indexed table of every text the user sees, with its English defaults built in: the
// library qm_strings, below every other one, so that the file layer words its messages too.
// Loading language files over it is qm_language (lang_table.h).

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
void Load_Default_Strings();

// The built-in English default of an entry, whatever a language file set.
const std::string& Default_String(int index);

} // namespace qm
