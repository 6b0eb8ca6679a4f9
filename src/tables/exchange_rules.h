#pragma once
// The rules the exchange's parts share: the columns' values, messages, decoding. Not used outside
// the exchange (table_exchange_*.cpp).

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/csv_text.h"
#include "tables/exchange_texts.h"
#include "tables/table_exchange.h"
#include "tables/table_layout.h"

namespace qm::exchange_rules {

namespace et = exchange_text;

std::string L(int entry);

const Column_Layout& Column_Of(Exchange_Table table, int column);
// The column's title in the current language, its attribute when the title is blank.
std::string Title(Exchange_Table table, int column);
// A value quoted in a message: long texts are cut, on a character boundary.
std::string Shown(std::string_view value);
std::string Joined(const std::vector<std::string>& items);

// A cell as it goes to a spreadsheet: a text a spreadsheet would take as a formula (or whose
// leading tab or CR it would drop) gets a leading apostrophe, which the import takes off again.
void Append_Cell(std::string& out, std::string_view text, char separator);
// Turns a cell as the file holds it into the value to store, in place; the message (title
// first) why the column cannot take it, or an empty text. A refused cell is left as it was.
// text_marks: take off the apostrophe that Append_Cell puts before a formula-like text (CSV and
// clipboard; a workbook's text cells need none).
std::string Take_Value(Exchange_Table table, int column, std::string& cell, bool text_marks = true);
// The rows of the list as its window would save them (rows 1 to the end of the list), each as
// the values of its XML attributes in file order.
void Saved_Rows(Exchange_Table table, const Table_Rows& rows,
                const std::function<void(const std::vector<std::string_view>&)>& on_row);
// What a row of the file gets in the columns the file does not name.
Table_Row Missing_Row(Exchange_Table table);
// Whether a header cell (trimmed, in capitals) names the column: its attribute, its English
// title or its title now.
bool Names_Column(Exchange_Table table, int column, const std::string& upper_cell);

// Collects errors up to the limit and counts the rest.
class Error_List {
public:
    // The errors of a workbook name rows of its sheet ("row 5: "), not lines.
    void Name_Rows() { rows_ = true; }
    void Add(int line, std::string text) {
        ++count_;
        if (static_cast<int>(errors_.size()) < Max_Listed_Errors) {
            errors_.push_back({line, With_Place(rows_, line, text)});
        } else {
            ++more_;
        }
    }
    // An error that must be seen whatever came before it (the count of rows).
    void Add_Always(int line, std::string text) {
        ++count_;
        errors_.push_back({line, With_Place(rows_, line, text)});
    }
    // Every error added, the unlisted ones included.
    int Count() const { return count_; }
    // The errors in line order, and a last line that counts the unlisted ones.
    std::vector<Exchange_Error> Take();

private:
    std::vector<Exchange_Error> errors_;
    long more_ = 0;
    int count_ = 0;
    bool rows_ = false;
};

// The text ready for the CSV reader: decoded, limits checked; a fatal error otherwise.
struct Prepared {
    std::string text;
    char separator = ',';
    bool failed = false;
};

// Decodes the bytes and checks the limits; find_separator: from the header line or "sep=".
Prepared Prepare(std::string_view bytes, Error_List& errors, bool find_separator);
bool Is_Blank_Record(const Csv_Record& record);

// The records of a file for the import, each with the line (a CSV file) or sheet row (a
// workbook) it starts on, and beside its fields why a cell holds no value to take (a workbook's
// dates, error values, formulas never computed; empty for a CSV file).
using Record_Handler = std::function<void(Csv_Record&, const std::vector<std::string>& problems)>;
struct Source_Read {
    bool fatal = false; // nothing could be read: the errors say why
    bool clean = true;  // no record was left out for its syntax (an empty file is then an error)
};
// A workbook's sheet (the one named after the table, else the first) as records; in a build
// without workbooks, the error that says so.
Source_Read Read_Workbook_Records(Exchange_Table table, std::string_view bytes, Error_List& errors,
                                  const Record_Handler& handle);
// The reader's quoting errors, by line of a file or by row of a block (block, from top_row).
void Add_Syntax_Errors(const std::vector<Csv_Syntax_Error>& syntax, Error_List& errors, bool block, int top_row);

} // namespace qm::exchange_rules
