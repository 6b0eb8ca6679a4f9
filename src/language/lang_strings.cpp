#include "language/lang_strings.h"

#include "language/default_strings.h"

// The table itself, below every other library, so that any part of the program can word its
// messages through it; loading language files (lang_table.cpp) needs the file layer above it.

namespace qm {

static_assert(Lang_Table_Size == Default_String_Count);

std::vector<std::string> Lang_Table;

const std::string& Lang(int index) {
    // Before any table is loaded (a tool or a test that never called Load_Default_Strings) the
    // English defaults speak; Default_String gives the blank for an index outside the table.
    if (index < 0 || static_cast<std::size_t>(index) >= Lang_Table.size()) {
        return Default_String(index);
    }
    return Lang_Table[static_cast<std::size_t>(index)];
}

void Load_Default_Strings() {
    Lang_Table.clear();
    Lang_Table.reserve(Lang_Table_Size);
    for (int i = 0; i < Lang_Table_Size; ++i) {
        Lang_Table.push_back(Default_String(i));
    }
}

} // namespace qm
