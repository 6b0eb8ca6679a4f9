// A workbook's sheet as the records of the import: the CSV import's rules then apply unchanged.
#include "tables/exchange_rules.h"

#include <algorithm>

#include "common/conversions.h"
#include "tables/xlsx_reader.h"
#include "tables/xlsx_texts.h"

namespace qm {

using namespace exchange_rules;

namespace {

// A row with a cell far to the right would otherwise become thousands of empty fields; past
// this column its cells count as one more field, which the import names as such.
constexpr int Max_Record_Columns = 1024;

} // namespace

bool Workbooks_Supported() {
    return true;
}

namespace exchange_rules {

Source_Read Read_Workbook_Records(Exchange_Table table, std::string_view bytes, Error_List& errors,
                                  const Record_Handler& handle) {
    const Xlsx_Open_Result open = Xlsx_Workbook::Open_Bytes(bytes);
    if (!open.ok()) {
        errors.Add(0, open.error);
        return {true, false};
    }
    // The sheet named after the table when there is one (an export of ours), else the first.
    const Xlsx_Workbook& workbook = *open.workbook;
    const std::string own = Upper_Ascii(Exchange_Table_Name(table));
    const auto& names = workbook.Sheet_Names();
    const auto named = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return Upper_Ascii(n) == own; });
    const Xlsx_Sheet_Result read = named != names.end() ? workbook.Read_Sheet(*named) : workbook.Read_First_Sheet();
    if (!read.ok()) {
        errors.Add(0, read.error);
        return {true, false};
    }
    Csv_Record record;
    std::vector<std::string> problems;
    for (const Xlsx_Row& row : read.sheet.rows) {
        record.line = row.number;
        record.fields.clear();
        problems.clear();
        for (const Xlsx_Cell& cell : row.cells) {
            if (cell.kind == Xlsx_Cell_Kind::Empty) {
                continue;
            }
            const auto index = static_cast<std::size_t>(std::min(cell.column, Max_Record_Columns + 1) - 1);
            if (record.fields.size() <= index) {
                record.fields.resize(index + 1);
                problems.resize(index + 1);
            }
            if (!cell.has_value()) {
                problems[index] = cell.error;
            } else if (record.fields[index].empty()) {
                record.fields[index] = cell.text;
            }
        }
        handle(record, problems);
    }
    return {};
}

} // namespace exchange_rules

} // namespace qm
