#pragma once
// What the three list editors share: a list as rows of cell texts, the report of a read,
// and the save that never loses a file it could not read completely.

#include <string>
#include <string_view>
#include <vector>

#include "common/xml_io.h"

namespace qm {

// The field cells of one row, columns 1 to N-1 of its table (column 0, the row number, is
// not part of it): cells[c - 1] is column c. Every cell is the text as typed, blanks included.
using Table_Row = std::vector<std::string>;
// A whole table as the editor holds it, reset rows included.
using Table_Rows = std::vector<Table_Row>;

// The text of column c (1-based) of a row; empty for a column the row does not have.
std::string_view Cell(const Table_Row& row, int column);

// A freshly reset row of a table with column_count columns: Enable "Y", every other cell empty.
Table_Row Reset_Row(int column_count);
Table_Rows Reset_Table(int row_count, int column_count);

// How many rows belong to the list: rows before the first one whose key cell is blank after
// trimming, and never more than capacity.
int List_Length(const Table_Rows& rows, int key_column, int capacity);

struct Table_Read_Info {
    Xml_Load_Status status = Xml_Load_Status::Ok; // Missing is the normal state of a new list
    // False when something the file holds did not reach the table: the window must then save
    // with keep_backup so that the user's file is not lost.
    bool complete = true;
    // One line per problem, each naming the file and, where known, the line, row and attribute.
    std::vector<std::string> problems;

    // The problems joined by line breaks, for a message box; empty when there were none.
    std::string Message() const;
};

// A one-table list as read from its file.
struct Table_Read_Result {
    Table_Rows rows; // always full size: what the file held, over reset rows
    Table_Read_Info info;
};

struct Table_Save_Result {
    bool ok = true;
    std::string message;     // the reason when !ok; where the old file went when one was kept
    std::string backup_path; // set when the previous file was kept beside the new one
    explicit operator bool() const { return ok; }
};

// Saves through a temporary file and a rename. With keep_backup, an existing file is first
// copied beside itself; when that copy fails nothing is replaced. A failed save leaves the
// previous file as it was.
Table_Save_Result Save_Table_File(const pugi::xml_document& doc, const std::string& path, bool keep_backup);

} // namespace qm
