#pragma once
// CSV and TSV text as spreadsheet programs read and write it: records read through libcsv with
// the line each one starts on, and fields written with RFC 4180 quoting.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct Csv_Record {
    int line = 0;                    // the line the record starts on, 1-based
    std::vector<std::string> fields; // no field at all for an empty line
};

enum class Csv_Syntax {
    Stray_Quote,   // a quote in a field that does not begin with one, or text after a closing quote
    Unclosed_Quote // the text ends inside a quoted field
};

struct Csv_Syntax_Error {
    int line = 0; // a stray quote: the line it stands on; an unclosed one: the line its record starts on
    Csv_Syntax kind = Csv_Syntax::Stray_Quote;
};

// Splits UTF-8 text into records at CR, LF or CR LF outside quotes and hands each one, empty
// lines included, to on_record in order. Fields are kept exactly as they stand, blanks included;
// a quoted field loses its enclosing quotes and each doubled quote becomes one. A record with a
// syntax error is not handed on: the error is returned and reading goes on after the record (a
// quote inside a quoted field that runs over several lines is one error, not one per line).
std::vector<Csv_Syntax_Error> Read_Csv(std::string_view text, char separator,
                                       const std::function<void(Csv_Record&)>& on_record);

// The separator of the text's first line that is not empty: the most frequent of tab, ';' and
// ',' outside quotes (tab before ';' before ',' when they are as frequent); ',' when the line has
// none of them.
char Detect_Separator(std::string_view text);

// The first line (1-based, as Read_Csv counts) longer than max_bytes; 0 when there is none.
int First_Line_Longer_Than(std::string_view text, std::size_t max_bytes);

// The shape of a text as Read_Csv would read it, counted without storing a field, so that a
// block far too large for a table is refused at the cost of one pass: its rows (a line end after
// the last one does not start another) and the most fields of a row.
struct Csv_Shape {
    long rows = 0;
    long widest = 0;
};
Csv_Shape Measure_Csv(std::string_view text, char separator);

// Appends one field, in quotes (each quote doubled) when it holds the separator, a quote, CR or
// LF, or begins or ends with a blank; as it stands otherwise.
void Append_Csv_Field(std::string& out, std::string_view field, char separator);

} // namespace qm
