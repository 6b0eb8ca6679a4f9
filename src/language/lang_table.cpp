#include "language/lang_table.h"

#include "language/default_strings.h"

namespace qm {

std::vector<std::string> Lang_Table;

const std::string& Lang(int index) {
    static const std::string blank = " ";
    if (index < 0 || static_cast<std::size_t>(index) >= Lang_Table.size()) {
        return blank;
    }
    return Lang_Table[static_cast<std::size_t>(index)];
}

void Load_Default_Strings() {
    Lang_Table.assign(Lang_Table_Size, std::string(" "));
    for (int i = 0; i < Lang_Table_Size; ++i) {
        Lang_Table[static_cast<std::size_t>(i)] = Default_String(i);
    }
}

} // namespace qm
