#pragma once
// Duplicate with increments: copies of one row put right below it, each numeric column counted up
// by its own increment per copy and the Mnemonic's trailing number by one. Qt-free.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tables/grid_history.h"

namespace qm {

// A column a duplicate may count up, with the range the window's check allows for it.
struct Count_Column {
    int col = 0;
    int low = 0;
    int high = 0;
};

struct Duplicate_Request {
    int row = 0;    // the row copied
    int copies = 1; // how many copies
    std::vector<std::pair<int, int>> increments; // column, increment per copy; 0 copies the text
    std::vector<int> text_cols;                  // the columns whose trailing number counts up
};

enum class Duplicate_Error {
    None,
    Bad_Copies,   // fewer than one copy, or more than Duplicate_Max_Copies
    Out_Of_Range, // a copy would leave its column's range (col, low, high say which)
    Not_A_Number  // a column with an increment holds no number to count from (col)
};

struct Duplicate_Plan {
    Duplicate_Error error = Duplicate_Error::None;
    int col = 0;
    int low = 0;
    int high = 0;
    std::vector<Row_Cells> copies; // the rows to insert, first copy first; empty on an error
};

// Whether `row` belongs to the list, which ends before the first row whose key column is blank.
bool Duplicate_Row_In_List(const Grid& grid, int row, int key_col);
// How many copies fit: the free rows after the end of the list, and never more than the rows
// below `row`. 0 when none fits or when `row` is after the end of the list.
int Duplicate_Max_Copies(const Grid& grid, int row, int key_col);

// The text with its trailing number increased by `by`, keeping at least as many digits ("Pump_07"
// by 2 gives "Pump_09", "Pump_99" by 1 "Pump_100"); a text that does not end in a digit is kept.
std::string Count_Up(std::string_view text, long long by);
bool Ends_In_Number(std::string_view text);

// The number `text` holds as the check reads it (see Text_To_Int), with `by` added, written in the
// same form: leading blanks, a "+", a hexadecimal prefix ("0x", "$", "x") and the case of its
// letters, and the width of a number written with leading zeros ("0x10" by 1 gives "0x11", "007"
// by 1 "008", "0x0F" by 1 "0x10"). Empty when the text holds no number.
std::string Count_Number(std::string_view text, long long by);

// The copies the request asks for, or why they cannot be made. ranges holds the columns that may
// have an increment; an increment for any other column is ignored.
Duplicate_Plan Plan_Duplicate(const Grid& grid, const Duplicate_Request& request, int key_col,
                              const std::vector<Count_Column>& ranges);

} // namespace qm
