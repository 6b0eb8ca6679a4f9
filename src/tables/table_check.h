#pragma once
// The message a table window shows for a check fault.

#include <string>

#include "common/check_fault.h"

namespace qm {

// A fault with the column of the cell it concerns (1-based, as in the window's table).
struct Cell_Fault {
    Check_Fault fault;
    int column = 0;
};

// A numeric column and the range its check allows.
struct Column_Range {
    int column = 0;
    int low = 0;
    int high = 0;
};

enum class Table_Check { S7_Protocol, IEC61850_Variables };

// "Error row " (entry 1270 or 1529), the row number, the fault's entry and its suffix, read
// from Lang_Table: exactly the text of the window's error box.
std::string Fault_Text(const Check_Fault& fault, Table_Check check);

} // namespace qm
