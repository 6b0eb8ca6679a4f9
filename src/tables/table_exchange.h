#pragma once
// Exchanging the four lists with spreadsheets: CSV/TSV files, and tab-separated blocks of the
// clipboard. Qt-free: the command-line tool and the table windows share it.
//
// On failure nothing throws and nothing is changed: every function that can refuse returns all
// it found as texts of the current language (Lang_Table, so the windows and the command-line
// tool show the same words), each naming the line of the file ("line 7: ...") or the row and
// column of a block.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/check_fault.h"
#include "tables/table_file.h"
#include "tables/table_layout.h"

namespace qm {

using Exchange_Table = Table_Id;

// The names on the command line: "s7-read", "s7-write", "variables", "certificates".
std::string_view Exchange_Table_Name(Exchange_Table table);
std::optional<Exchange_Table> Exchange_Table_Named(std::string_view name);

int Exchange_Capacity(Exchange_Table table);    // data rows: 512, 512, 50, 10
int Exchange_Field_Count(Exchange_Table table); // field columns 1..N-1: 18, 20, 12, 3
int Exchange_Key_Column(Exchange_Table table);  // PLC Address, Name, Certificate: a blank one ends the list
std::string_view Exchange_Attribute(Exchange_Table table, int column); // XML attribute of a field column
std::string Exchange_Column_Title(Exchange_Table table, int column);   // its title in the current language
std::string_view Exchange_File_Name(Exchange_Table table);             // "S7_Protocol.xml", ...

// Far above any real list (512 rules of 21 cells, or 10 certificates), far below what would
// strain the memory: a larger file or line is refused before it is parsed.
inline constexpr std::uint64_t Max_Exchange_File_Bytes = 16ULL * 1024 * 1024;
inline constexpr std::size_t Max_Exchange_Line_Bytes = 1024 * 1024;

// ---- export ----

// The separator a file of this name gets by default: tab for ".tsv" and ".txt", ',' otherwise.
char Separator_For_Path(std::string_view path);
// The one rule of every export, the command line's and the windows': a ".tsv" or ".txt" name is
// tab-separated; any other name (or none: standard output) takes the chosen separator, ',' when
// none was chosen.
char Export_Separator(std::string_view path, std::optional<char> chosen);
// True when a separator the user named cannot be kept for this name (';' for "list.tsv"): the
// command line refuses such a call rather than write something else than asked.
bool Separator_Contradicts_Name(std::string_view path, std::optional<char> chosen);

// The list exactly as its window saves it (rows 1 to the end of the list; a certificate's
// Enable as "Y" or "N"), as a CSV file: UTF-8 byte-order mark, a header line of the XML
// attribute names in file order, CRLF line ends, RFC 4180 quoting. separator: ',', ';' or tab.
// Never fails; an empty list gives the header line alone.
std::string Export_Table(Exchange_Table table, const Table_Rows& rows, char separator = ',');

// A rectangle of cells as spreadsheets put it on the clipboard: tab-separated, CRLF after every
// row, quoted where needed, no header, no byte-order mark. cells[i] is one row.
std::string Export_Block(const std::vector<std::vector<std::string>>& cells);
// The cells of rows top_row..bottom_row and columns left_column..right_column (1-based, both
// ends included) of a table as Export_Block gives them, for Ctrl+C on a selection. Rows and
// columns outside rows are empty cells.
std::string Export_Selection(const Table_Rows& rows, int top_row, int bottom_row, int left_column, int right_column);

// ---- Excel workbooks ----

// Whether this build reads and writes .xlsx (not the Windows build: no libzip or libxlsxwriter).
bool Workbooks_Supported();
// Whether a file name asks for a workbook: it ends in ".xlsx", in any letter case.
bool Is_Workbook_Path(std::string_view path);

struct Workbook_Export {
    std::string bytes; // the .xlsx file
    std::string error; // why none could be made (current language), empty on success
    bool ok() const { return error.empty(); }
};

// The list as an Excel workbook: a first sheet named after the table (Exchange_Table_Name)
// with the CSV export's header cells (bold, frozen, each with its column title in the current
// language as comment) and rows; number columns hold numbers where the text is a plain decimal
// integer, text otherwise (as typed: "0x66" and "007" stay text). Every list column offers its
// items as a drop-down, check boxes Y and N, a Position a whole number in its range, over the
// table's whole capacity, so that an empty list gives a template. Lists too long to be spelled
// out in the validation live on a hidden sheet. Fails on a cell longer than a workbook holds,
// or in a build without workbooks.
Workbook_Export Export_Workbook(Exchange_Table table, const Table_Rows& rows);

// ---- import ----

enum class Import_Mode { Replace, Append };

struct Exchange_Error {
    int line = 0;     // the line of the file, the header line being line 1; 0 for the whole file
    std::string text; // the whole message, "line 7: PLC Type: ..." (the caller adds the file name)
};

struct Import_Fault {
    Check_Fault fault; // row: the table row the rule has after the import; table: S7_Read_Table/S7_Write_Table
    int line = 0;      // the line of the file the rule came from; 0 for a rule that was in the table
                       // before (append) or belongs to the other S7comm list
    std::string text;  // exactly the window's error text, "Error row 3!! [S7comm Read] ..."
};

struct Import_Result {
    // The table after the import, Exchange_Capacity rows: the list, then reset rows (rows below
    // the end of the list in current, which no save would keep, are cleared). Empty when there
    // are errors: nothing may then be changed.
    Table_Rows rows;
    int imported = 0;  // data rows the file held
    int first_row = 0; // the table row of the first imported row (1-based)
    int before = 0;    // rows of the list before the import: replaced (Replace) or kept above (Append)
    // What prevents reading: encoding, quoting, header, values, blank end-of-list cells, too
    // many rows. In line order, at most Max_Listed_Errors and one line that counts the rest.
    std::vector<Exchange_Error> errors;
    int error_count = 0; // every error found, the unlisted ones included
    // The table's check over every enabled row of the result (for the S7comm lists both lists
    // together, for the ten-connection rule), in the window's order. Computed also when there
    // are errors, over the rows that could be read, so that all is listed at once.
    std::vector<Import_Fault> faults;
    bool sheet_rows = false; // read from a workbook: the lines are the rows of its sheet
    bool ok() const { return errors.empty() && faults.empty(); }
};

inline constexpr int Max_Listed_Errors = 1000;

// Reads a whole CSV/TSV file's bytes into the table's rows. current: the table as it stands
// (the grid or the file); other_list: for an S7comm table the other list of S7_Protocol.xml,
// for the connection rule (ignored for the other tables). decimal_separator: the user's
// (Get_Decimal_Separator), for the variables' check. other_list is taken by value so that a
// window can move the other grid's rows in.
// Encodings: UTF-8 with or without byte-order mark, UTF-16 LE/BE with byte-order mark,
// otherwise Windows-1252. Separator: from the header line (or a first line "sep=;").
// Bytes that begin with "PK" are an Excel workbook (see Import_Workbook below), whatever the
// file is called.
Import_Result Import_Table(Exchange_Table table, std::string_view bytes, Import_Mode mode, const Table_Rows& current,
                           Table_Rows other_list = {}, char decimal_separator = '.');

// "line 7: " + text, with the entries of the current language; text alone for line 0.
std::string With_Line(int line, const std::string& text);
// The same, "row 7: " + text for the rows of a workbook's sheet.
std::string With_Place(bool sheet_row, int line, const std::string& text);

// ---- clipboard blocks ----

struct Block_Paste {
    // The values to store, with the import's value rules applied: cells[i][j] goes to column
    // left_column + j of row top_row + i. Rows may differ in length (only what the block holds).
    std::vector<std::vector<std::string>> cells;
    // Why the block cannot be pasted ("row 4, PLC Type: ..."; a block that does not fit; an
    // empty clipboard). When not empty, cells is empty and nothing may be pasted.
    std::vector<std::string> errors;
    bool ok() const { return errors.empty(); }
};

// Parses a tab-separated block (no header line; CRLF, LF or CR between rows; quoted cells as
// spreadsheets quote them) for pasting at (top_row, left_column) of a table, both 1-based. A
// block larger than the table's room is refused before its cells are stored. current, when
// given, is the table as it stands: a block that would put a value below the end of the list
// (a blank key row above it) or whose blank key cell would cut the list short is refused, since
// OK would not save those rows. A certificate copied from a text editor ("-----BEGIN ..." on many
// lines, no tab, no quote) pasted into the Certificate column is one cell, as typed.
Block_Paste Parse_Block(Exchange_Table table, std::string_view text, int top_row, int left_column,
                        const Table_Rows* current = nullptr);

// ---- files ----

// Reads a file to import. Returns the reason in the current language when it cannot (a folder,
// unreadable, larger than Max_Exchange_File_Bytes); the caller names the file before it.
std::optional<std::string> Read_Exchange_File(const std::string& path, std::string& bytes);
// The same with a limit of the caller's (a workbook, which is compressed, may be larger).
std::optional<std::string> Read_Exchange_File(const std::string& path, std::string& bytes, std::uint64_t max_bytes);

// Decodes the bytes of a text file as the import does: UTF-8 with or without byte-order mark,
// UTF-16 with one, otherwise Windows-1252, nothing guessed. On failure text is empty and the
// error's text is the reason without "line N: ".
std::optional<Exchange_Error> Decode_Exchange_Text(std::string_view bytes, std::string& text);

// A table of a configuration folder as its window reads it.
struct Configuration_Table {
    std::string xml_path;
    Table_Rows rows;       // full size, as the reader gives it
    Table_Rows other_list; // the other S7comm list; empty for the other tables
    Table_Read_Info info;
};
Configuration_Table Read_Configuration_Table(const std::string& folder, Exchange_Table table);

struct Configuration_Import {
    Configuration_Table before; // what the file held; before.info tells whether it was read completely
    Import_Result result;
    bool unreadable = false;   // the XML file could not be read completely: nothing was imported
    bool written = false;      // the XML file was replaced
    bool changed_meanwhile = false; // the XML file changed between the read and the write: not written
    Table_Save_Result saved;   // of the write, when one was tried (a backup kept, or why it failed)
};

// The import of the command-line tool: reads the configuration's XML file, imports bytes into
// its table and, only when there is no error and no fault, writes the file as the window's OK
// does (Save_*_File: atomic). An XML file that cannot be read completely (not well-formed, a
// section missing) is not imported into: nothing is written. The other list of S7_Protocol.xml
// stays as it was. Appending no row writes nothing. A file that another program changed after it
// was read is not overwritten (changed_meanwhile); before_write, when given, runs just before
// that last look (tests change the file there).
Configuration_Import Import_Into_Configuration(const std::string& folder, Exchange_Table table, std::string_view bytes,
                                               Import_Mode mode, char decimal_separator,
                                               const std::function<void()>& before_write = {});

} // namespace qm
