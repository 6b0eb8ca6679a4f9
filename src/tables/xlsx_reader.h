#pragma once
// Reading Excel workbooks (.xlsx): the zip through libzip, the XML parts through pugixml.
// Qt-free; the table exchange and the PLC tag import read their sheets through it.
//
// Bounded whatever the file holds: a part that declares or unpacks to more than
// Max_Xlsx_Part_Bytes, or that is compressed more than Max_Xlsx_Ratio times, is refused before
// it is parsed (a zip bomb), as is an XML part with a document type declaration (entities), an
// encrypted or truncated file, and a zip that holds no workbook. Nothing throws: failures come
// back as texts of the current language (Lang_Table) that name the part or the cell.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

inline constexpr std::uint64_t Max_Xlsx_Part_Bytes = 64ULL * 1024 * 1024; // per part, and all parts read together
inline constexpr std::uint64_t Max_Xlsx_Ratio = 100;                        // uncompressed / compressed size
inline constexpr std::uint64_t Max_Xlsx_File_Bytes = 64ULL * 1024 * 1024;  // the .xlsx file itself

enum class Xlsx_Cell_Kind {
    Empty,                  // a cell element without value (a styled blank)
    Text,                   // shared, inline or formula string
    Number,
    Boolean,                // text "TRUE" or "FALSE"
    Date,                   // a number in a date or time format, or an ISO date cell; text: the number
    Error,                  // an error value; text: "#N/A", "#DIV/0!", ...
    Formula_Without_Value,  // a formula never computed (no cached value); text: the formula
};

struct Xlsx_Cell {
    std::string reference; // "B5"
    int row = 0;           // 1-based
    int column = 0;        // 1-based: A is 1
    Xlsx_Cell_Kind kind = Xlsx_Cell_Kind::Empty;
    // What a user would have typed: a number by the shortest text that reads back to the same
    // double, "." as decimal separator, never an exponent (102.0 is "102", 1.25 is "1.25").
    std::string text;
    // Date, Error and Formula_Without_Value cells carry no value an import can take: why, in the
    // current language, naming the cell ("cell B5: holds a date ..."). Empty for the others.
    std::string error;
    bool has_value() const { return error.empty(); }
};

struct Xlsx_Row {
    int number = 0;               // the sheet's row number, 1-based
    std::vector<Xlsx_Cell> cells; // the cells the sheet holds, in column order; gaps are empty cells not listed
    // The cell of a column (1-based), or null when the row has none there.
    const Xlsx_Cell* Cell(int column) const;
};

struct Xlsx_Sheet {
    std::string name;
    std::vector<Xlsx_Row> rows; // the rows the sheet holds, in row order; rows it leaves out are not listed
};

struct Xlsx_Sheet_Result {
    Xlsx_Sheet sheet;
    std::string error; // why the sheet could not be read (current language), empty on success
    bool ok() const { return error.empty(); }
};

class Xlsx_Workbook;

struct Xlsx_Open_Result {
    std::unique_ptr<Xlsx_Workbook> workbook; // null on failure
    std::string error;                       // why the file is no readable workbook, empty on success
    bool ok() const { return workbook != nullptr; }
};

class Xlsx_Workbook {
public:
    // Opens a workbook file; the error names no path (the caller puts it before).
    static Xlsx_Open_Result Open_File(const std::string& path);
    // Opens a workbook held in memory (copied: bytes need not outlive the call).
    static Xlsx_Open_Result Open_Bytes(std::string_view bytes);

    ~Xlsx_Workbook();
    Xlsx_Workbook(const Xlsx_Workbook&) = delete;
    Xlsx_Workbook& operator=(const Xlsx_Workbook&) = delete;

    // The worksheets in the workbook's order (chart sheets and the like left out), hidden ones too.
    const std::vector<std::string>& Sheet_Names() const;
    // Whether a worksheet is hidden; false for a name the workbook does not hold.
    bool Sheet_Hidden(std::string_view name) const;
    // The sheet of this name (exact, else in any letter case of ASCII).
    Xlsx_Sheet_Result Read_Sheet(std::string_view name) const;
    // The first worksheet.
    Xlsx_Sheet_Result Read_First_Sheet() const;

private:
    struct Impl;
    explicit Xlsx_Workbook(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// Whether bytes look like a zip archive (the first bytes "PK"): how an import tells a workbook
// from a CSV file whatever its name.
bool Looks_Like_Zip(std::string_view bytes);

// The reason alone, without the cell ("holds a date ..."): for callers that name the cell in
// their own words ("row 5, PLC_Port: holds a date ...").
std::string Xlsx_Cell_Problem(const Xlsx_Cell& cell);

// "B5" for row 5, column 2.
std::string Xlsx_Reference(int row, int column);

} // namespace qm
