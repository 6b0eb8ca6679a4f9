#pragma once
// The columns of the four lists, described once: the XML files, the spreadsheet exchange, the
// report and diff, the checks and the table windows all read them from here.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tables/table_check.h"
#include "tables/table_file.h"

namespace qm {

enum class Table_Id { S7_Read, S7_Write, Variables, Certificates };
inline constexpr Table_Id All_Tables[] = {Table_Id::S7_Read, Table_Id::S7_Write, Table_Id::Variables,
                                          Table_Id::Certificates};

enum class Cell_Kind {
    Text,      // any text
    Lines,     // any text of several lines (a certificate)
    Check,     // a check box stored as "Y" or "N"
    List,      // only one of the items (or empty)
    Free_List, // one of the items, or any text
};

struct Column_Layout {
    const char* attribute; // XML attribute, also the exchange's header name
    int title;             // string-table entry of the column header
    int hint;              // string-table entry of the header's hint
    Cell_Kind kind;
    // The items of a List or Free_List column; null for a Position list, whose items
    // Position_Items(data_size) makes (1500 texts: made only where they are shown).
    const std::vector<std::string>* items;
    // A Position column: the size of the data array the value indexes, the value 0 to size - 1.
    int data_size;
    // The range the check allows in a numeric column (high = data_size - 1 for a Position); none
    // when low > high.
    int low;
    int high;
    const char* missing; // what a row without the attribute gets in the exchange
};

struct Table_Layout {
    Table_Id id;
    const char* name;    // on the command line: "s7-read", "s7-write", "variables", "certificates"
    const char* file;    // "S7_Protocol.xml", ...
    int title;           // string-table entry of the list's title (its tab or window)
    int number_title;    // string-table entry of the header of column 0, the row numbers
    int capacity;        // data rows of its window
    int key_column;      // a blank one ends the list
    std::span<const Column_Layout> columns; // columns[k] is column k + 1

    int Field_Count() const { return static_cast<int>(columns.size()); }
    // Column 1..Field_Count().
    const Column_Layout& Column(int column) const { return columns[static_cast<std::size_t>(column - 1)]; }
    // The header entries of every column, column 0 first; the hint entries of columns 1..N-1.
    std::vector<int> Header_Entries() const;
    std::vector<int> Hint_Entries() const;
};

const Table_Layout& Layout_Of(Table_Id table);

// Whether the column's check has a number range.
inline bool Has_Range(const Column_Layout& column) {
    return column.low <= column.high;
}

// The items of a List or Free_List column, Position_Items(data_size) for a Position list; none
// for the other kinds.
std::vector<std::string> Column_Items(const Column_Layout& column);

// The ranged columns in column order with their ranges, data_size bounding the Position columns
// instead of their own size: what the checks allow and a duplicate may count up.
std::vector<Column_Range> Count_Ranges(const Table_Layout& layout, int data_size);

} // namespace qm
