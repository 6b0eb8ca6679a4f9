// The tag table as the engineering tool exports it to Excel: sheet "PLC Tags", a header row
// naming the columns (Name, Path, Data Type, Logical Address, Comment; the others ignored).
#include "tags/plc_tags.h"

#include "common/conversions.h"
#include "language/lang_strings.h"
#include "tables/xlsx_reader.h"
#include "tags/tags_texts.h"

namespace qm {

Tag_Read_Result Read_Tag_Table_Xlsx(std::string_view bytes) {
    Tag_Read_Result result;
    result.kind = Tag_File_Kind::Tag_Table_Xlsx;
    const Xlsx_Open_Result opened = Xlsx_Workbook::Open_Bytes(bytes);
    if (!opened.ok()) {
        result.errors.push_back({0, opened.error});
        return result;
    }
    const Xlsx_Sheet_Result sheet = opened.workbook->Read_Sheet("PLC Tags");
    if (!sheet.ok() || sheet.sheet.rows.empty()) {
        result.errors.push_back({0, sheet.ok() ? Lang(tags_text::Sheet_Missing) : sheet.error});
        return result;
    }
    // The header row: the columns by name, wherever they stand.
    const Xlsx_Row& header = sheet.sheet.rows.front();
    int name = 0;
    int type = 0;
    int address = 0;
    int comment = 0;
    for (const Xlsx_Cell& cell : header.cells) {
        const std::string title = Upper_Ascii(Trim(cell.text));
        int* column = title == "NAME"              ? &name
                      : title == "DATA TYPE"       ? &type
                      : title == "LOGICAL ADDRESS" ? &address
                      : title == "COMMENT"         ? &comment
                                                   : nullptr;
        if (column != nullptr && *column == 0) {
            *column = cell.column;
        }
    }
    if (name == 0 || type == 0 || address == 0) {
        result.errors.push_back({header.number, Lang(tags_text::Sheet_Missing)});
        return result;
    }
    for (std::size_t r = 1; r < sheet.sheet.rows.size(); ++r) {
        const Xlsx_Row& row = sheet.sheet.rows[r];
        std::string problem;
        const auto text = [&](int column) -> std::string {
            const Xlsx_Cell* cell = column > 0 ? row.Cell(column) : nullptr;
            if (cell == nullptr) {
                return {};
            }
            if (!cell->has_value() && problem.empty()) {
                problem = cell->error;
            }
            return cell->text;
        };
        const std::string tag_name = text(name);
        const std::string tag_type = text(type);
        const std::string tag_address = text(address);
        const std::string tag_comment = text(comment);
        if (!problem.empty()) {
            result.errors.push_back({row.number, problem});
            continue;
        }
        if (Trim(tag_name).empty() && Trim(tag_type).empty() && Trim(tag_address).empty()) {
            continue; // a blank row, as spreadsheets leave them
        }
        Add_Area_Tag(result, tag_name, tag_type, tag_address, std::string(Trim(tag_comment)), row.number);
    }
    Drop_Tags_On_Error(result);
    return result;
}

} // namespace qm
