#pragma once
// The first fault a check finds, as data: a window and the command-line tool render the very
// same text from it (see each subsystem's Fault_Text).

#include <string>

namespace qm {

struct Check_Fault {
    int entry = 0;      // Lang_Table entry of the message
    int row = 0;        // table row, 1-based; 0 where there is no row
    std::string suffix; // what the message appends, e.g. the largest allowed value
    std::string field;  // the field, control or column concerned, for the command-line tool
    int table = 0;      // which table of a window (e.g. 0 read, 1 write); 0 where there is one
};

} // namespace qm
