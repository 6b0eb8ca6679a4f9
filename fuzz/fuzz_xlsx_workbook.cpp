// Any bytes as an Excel workbook: opened, every sheet read, and imported into one of the four
// lists (the first byte picks it). Whatever is refused, nothing may crash or grow without bound;
// what is read keeps the reader's promises (references that match the places, rows and cells
// in order, a reason exactly for the cells without a value), and an accepted import exports
// and imports back to the same cells.

#include <cstdint>

#include "fuzz_support.h"
#include "language/lang_table.h"
#include "tables/table_exchange.h"
#include "tables/xlsx_reader.h"

namespace {

void Check_Sheet(const qm::Xlsx_Sheet& sheet) {
    using namespace qm;
    using namespace qm::fuzz;
    int last_row = 0;
    for (const Xlsx_Row& row : sheet.rows) {
        Require(row.number >= last_row && row.number >= 1 && row.number <= 1048576, "rows out of order");
        last_row = row.number;
        int last_column = 0;
        for (const Xlsx_Cell& cell : row.cells) {
            Require(cell.row == row.number && cell.column >= last_column && cell.column >= 1 && cell.column <= 16384,
                    "cells out of order", cell.reference);
            last_column = cell.column;
            Require(cell.reference == Xlsx_Reference(cell.row, cell.column), "a reference that is not the place",
                    cell.reference);
            const bool no_value = cell.kind == Xlsx_Cell_Kind::Date || cell.kind == Xlsx_Cell_Kind::Error ||
                                  cell.kind == Xlsx_Cell_Kind::Formula_Without_Value;
            Require(no_value == !cell.has_value(), "a reason for the wrong cells", cell.reference);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qm;
    using namespace qm::fuzz;
    static const bool loaded = [] {
        Load_Default_Strings();
        return true;
    }();
    (void)loaded;
    if (size == 0) {
        return 0;
    }
    const auto table = static_cast<Exchange_Table>(data[0] % 4);
    const std::string_view bytes = As_Text(data + 1, size - 1);

    const Xlsx_Open_Result open = Xlsx_Workbook::Open_Bytes(bytes);
    Require(open.ok() == open.error.empty(), "a failure without reason");
    if (open.ok()) {
        for (const std::string& name : open.workbook->Sheet_Names()) {
            const Xlsx_Sheet_Result read = open.workbook->Read_Sheet(name);
            if (read.ok()) {
                Check_Sheet(read.sheet);
            }
        }
    }

    const Table_Rows empty = Reset_Table(Exchange_Capacity(table), Exchange_Field_Count(table) + 1);
    const Import_Result first = Import_Table(table, bytes, Import_Mode::Replace, empty);
    for (const Exchange_Error& error : first.errors) {
        Require(!error.text.empty(), "an error without text");
    }
    if (first.errors.empty() && first.sheet_rows) {
        const Workbook_Export exported = Export_Workbook(table, first.rows);
        Require(exported.ok(), "an accepted list cannot be exported", exported.error);
        const Import_Result second = Import_Table(table, exported.bytes, Import_Mode::Replace, empty);
        Require(second.errors.empty(), "an exported workbook is refused",
                [&] { return second.errors.front().text; });
        Require(second.rows == first.rows, "a workbook round trip changed cells");
    }
    return 0;
}
