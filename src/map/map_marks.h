#pragma once
// The data map's findings as marks on the cells of the table windows, computed from the grid as
// it is being edited. Warnings only: they never stop OK.

#include <string>
#include <vector>

#include "map/data_map.h"

namespace qm {

struct Map_Mark {
    Map_List list = Map_List::S7_Read;
    int row = 0;      // 1-based
    int column = 0;   // the Position cell of the row
    std::string text; // the finding in words
};

// The S7comm window: overlaps and rules past the end, from both tables as they stand; only the
// rows of each list up to its first blank PLC Address, the rows a save keeps.
std::vector<Map_Mark> S7_Window_Marks(const Table_Rows& read, const Table_Rows& write);
// The variable window: unfed read-only variables, from its table as it stands (rows up to the
// first blank Name) and the read rules as saved.
std::vector<Map_Mark> Variable_Window_Marks(const Table_Rows& saved_read, const Table_Rows& variables);

// The read rules of an S7_Protocol.xml as the builder reads them, kept while the file's size and
// time stay the same, so that a window can ask on every edit. Empty for a missing or bad file.
const Table_Rows& Saved_Read_Rules(const std::string& path);

} // namespace qm
