#pragma once
// The message a table window shows for a check fault.

#include <string>

#include "common/check_fault.h"

namespace qm {

enum class Table_Check { S7_Protocol, IEC61850_Variables };

// "Error row " (entry 1270 or 1529), the row number, the fault's entry and its suffix, read
// from Lang_Table: exactly the text of the window's error box.
std::string Fault_Text(const Check_Fault& fault, Table_Check check);

} // namespace qm
