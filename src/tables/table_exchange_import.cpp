// Importing a CSV/TSV file into a list: the header's columns, the values, the room, the check.
#include "tables/exchange_rules.h"

#include <algorithm>
#include <set>
#include <utility>

#include "common/conversions.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/table_check.h"

namespace qm {

using namespace exchange_rules;

namespace {

// The check of the table's result and where each faulty rule came from.
// rows and other_list are lent to the check and handed back as they were.
// refused: the (table row, column) of each value an error already named; the check says nothing
// more about those cells.
std::vector<Import_Fault> Run_Table_Check(Exchange_Table table, Table_Rows& rows, Table_Rows& other_list,
                                          char decimal_separator, int before, const std::vector<int>& lines,
                                          const std::set<std::pair<int, int>>& refused) {
    std::vector<Check_Fault> faults;
    Table_Check check = Table_Check::S7_Protocol;
    int this_table = 0;
    switch (table) {
    case Exchange_Table::S7_Read:
    case Exchange_Table::S7_Write: {
        const bool read = table == Exchange_Table::S7_Read;
        S7_Protocol_Data data;
        (read ? data.Read : data.Write).swap(rows);
        (read ? data.Write : data.Read).swap(other_list);
        faults = S7_Protocol_Faults(data);
        (read ? data.Read : data.Write).swap(rows);
        (read ? data.Write : data.Read).swap(other_list);
        this_table = read ? S7_Read_Table : S7_Write_Table;
        break;
    }
    case Exchange_Table::Variables:
        faults = IEC61850_Variables_Faults(rows, decimal_separator);
        check = Table_Check::IEC61850_Variables;
        break;
    case Exchange_Table::Certificates:
        return {}; // any text is a certificate
    }
    std::vector<Import_Fault> result;
    const std::span<const Column_Layout> layout = Layout_Of(table).columns;
    for (Check_Fault& fault : faults) {
        if (fault.table == this_table && !refused.empty()) {
            const auto column = std::find_if(layout.begin(), layout.end(), [&](const Column_Layout& c) {
                return fault.field == c.attribute;
            });
            if (column != layout.end() &&
                refused.contains({fault.row, static_cast<int>(column - layout.begin()) + 1})) {
                continue;
            }
        }
        Import_Fault f;
        const int index = fault.row - before - 1;
        if (fault.table == this_table && index >= 0 && index < static_cast<int>(lines.size())) {
            f.line = lines[static_cast<std::size_t>(index)];
        }
        f.text = Fault_Text(fault, check);
        f.fault = std::move(fault);
        result.push_back(std::move(f));
    }
    return result;
}

Source_Read Read_Csv_Records(std::string_view bytes, Error_List& errors, const Record_Handler& handle) {
    Prepared prepared = Prepare(bytes, errors, true);
    if (prepared.failed) {
        return {true, false};
    }
    static const std::vector<std::string> no_problems;
    const std::vector<Csv_Syntax_Error> syntax =
        Read_Csv(prepared.text, prepared.separator, [&](Csv_Record& record) { handle(record, no_problems); });
    Add_Syntax_Errors(syntax, errors, false, 0);
    return {false, syntax.empty()};
}

} // namespace

Import_Result Import_Table(Exchange_Table table, std::string_view bytes, Import_Mode mode, const Table_Rows& current,
                           Table_Rows other_list, char decimal_separator) {
    Import_Result result;
    Error_List errors;
    const bool workbook = bytes.starts_with("PK");
    if (workbook) {
        errors.Name_Rows();
        result.sheet_rows = true;
    }
    const int capacity = Exchange_Capacity(table);
    const int fields = Exchange_Field_Count(table);
    const int key = Exchange_Key_Column(table);

    // The list the import starts from: nothing (replace) or the current list (append).
    const int list_length = List_Length(current, key, capacity);
    result.before = list_length;
    Table_Rows rows;
    if (mode == Import_Mode::Append) {
        rows.assign(current.begin(), current.begin() + list_length);
        for (Table_Row& row : rows) {
            row.resize(static_cast<std::size_t>(fields));
        }
    }
    const int kept = static_cast<int>(rows.size());

    std::optional<int> header_line;
    // Field index of the file -> table column; 0 for a column without name, -1 for one refused.
    std::vector<int> column_of;
    std::vector<bool> mapped(static_cast<std::size_t>(fields) + 1, false);
    std::vector<int> lines;     // the line of each imported row
    int data_rows = 0;
    int first_extra_line = 0;   // the first line that does not fit
    std::set<std::pair<int, int>> refused; // (table row, column) of the values refused
    std::vector<int> refused_here;         // columns refused in the line being read

    auto on_header = [&](const Csv_Record& record) {
        header_line = record.line;
        std::vector<std::string> names;
        for (int c = 1; c <= fields; ++c) {
            names.emplace_back(Column_Of(table, c).attribute);
        }
        for (const std::string& cell : record.fields) {
            const std::string upper = Upper_Ascii(Trim(cell));
            int column = 0;
            if (!upper.empty()) {
                for (int c = 1; c <= fields && column == 0; ++c) {
                    column = Names_Column(table, c, upper) ? c : 0;
                }
                if (column == 0) {
                    errors.Add(record.line, L(et::Unknown_Column) + Shown(Trim(cell)) + L(et::Columns_Are) + Joined(names));
                    column = -1; // said once here, not again on every line
                } else if (mapped[static_cast<std::size_t>(column)]) {
                    errors.Add(record.line, L(et::Column) + Shown(Trim(cell)) + L(et::Twice));
                    column = -1;
                } else {
                    mapped[static_cast<std::size_t>(column)] = true;
                }
            }
            column_of.push_back(column);
        }
        if (!mapped[static_cast<std::size_t>(key)]) {
            errors.Add(record.line, L(et::No_Key_Column) + Title(table, key) + L(et::Every_Row));
        }
    };

    const Table_Row missing_row = Missing_Row(table);
    auto on_data = [&](Csv_Record& record, const std::vector<std::string>& problems) {
        ++data_rows;
        // A record may run over many lines inside quotes; it is held to the limit of a line.
        std::size_t record_bytes = 0;
        for (const std::string& field : record.fields) {
            record_bytes += field.size();
        }
        if (record_bytes > Max_Exchange_Line_Bytes) {
            errors.Add(record.line, L(et::Long_Line) + std::to_string(Max_Exchange_Line_Bytes) + L(et::Bytes));
            return;
        }
        Table_Row row = missing_row;
        refused_here.clear();
        for (std::size_t i = 0; i < record.fields.size(); ++i) {
            std::string& raw = record.fields[i];
            if (i >= column_of.size()) {
                if (!Trim(raw).empty()) {
                    errors.Add(record.line, L(et::Line_Has) + std::to_string(record.fields.size()) + L(et::Fields_But) +
                                                std::to_string(column_of.size()) + L(et::Columns));
                    break;
                }
                continue;
            }
            const int column = column_of[i];
            if (column < 0) {
                continue;
            }
            if (i < problems.size() && !problems[i].empty()) {
                // A date, an error value, a formula never computed: nothing a user typed.
                errors.Add(record.line, (column > 0 ? Title(table, column) + L(et::Comma) : std::string()) + problems[i]);
                if (column > 0) {
                    refused_here.push_back(column);
                    row[static_cast<std::size_t>(column - 1)].clear();
                }
                continue;
            }
            if (column == 0) {
                if (!Trim(raw).empty()) {
                    errors.Add(record.line, L(et::Unnamed) + std::to_string(i + 1) + L(et::No_Name));
                }
                continue;
            }
            if (std::string error = Take_Value(table, column, raw, !workbook); !error.empty()) {
                errors.Add(record.line, std::move(error));
                refused_here.push_back(column);
            }
            row[static_cast<std::size_t>(column - 1)] = std::move(raw);
        }
        // A short line leaves the columns it does not reach empty, as typed.
        for (std::size_t i = record.fields.size(); i < column_of.size(); ++i) {
            if (column_of[i] > 0) {
                row[static_cast<std::size_t>(column_of[i] - 1)].clear();
            }
            if (column_of[i] == 1) {
                errors.Add(record.line, Title(table, 1) + L(et::Enable_Blank));
            }
        }
        if (mapped[static_cast<std::size_t>(key)] && Trim(row[static_cast<std::size_t>(key - 1)]).empty()) {
            errors.Add(record.line, Title(table, key) + L(et::Key_Blank));
            return; // left out of the check, which would otherwise stop at it
        }
        if (static_cast<int>(rows.size()) < capacity) {
            for (const int column : refused_here) {
                refused.insert({static_cast<int>(rows.size()) + 1, column});
            }
            rows.push_back(std::move(row));
            lines.push_back(record.line);
        } else if (first_extra_line == 0) {
            first_extra_line = record.line;
        }
    };

    const Record_Handler handle = [&](Csv_Record& record, const std::vector<std::string>& problems) {
        if (Is_Blank_Record(record) && std::all_of(problems.begin(), problems.end(),
                                                   [](const std::string& p) { return p.empty(); })) {
            return;
        }
        if (!header_line) {
            on_header(record);
        } else {
            on_data(record, problems);
        }
    };
    const Source_Read read =
        workbook ? Read_Workbook_Records(table, bytes, errors, handle) : Read_Csv_Records(bytes, errors, handle);
    if (read.fatal) {
        result.error_count = errors.Count();
        result.errors = errors.Take();
        return result;
    }
    if (!header_line && read.clean) {
        errors.Add(0, L(et::Empty_File));
    }
    if (kept + data_rows > capacity) {
        std::string text = L(et::File_Holds) + std::to_string(data_rows);
        if (mode == Import_Mode::Append) {
            text += L(et::Already) + std::to_string(kept) + L(et::Room_After);
        } else {
            text += L(et::Room);
        }
        errors.Add_Always(first_extra_line, text + std::to_string(capacity));
    }

    result.imported = data_rows;
    result.first_row = kept + 1;
    rows.resize(static_cast<std::size_t>(capacity), Reset_Row(fields + 1));
    result.faults = Run_Table_Check(table, rows, other_list, decimal_separator, kept, lines, refused);
    result.error_count = errors.Count();
    result.errors = errors.Take();
    if (result.errors.empty()) {
        result.rows = std::move(rows);
    }
    return result;
}

} // namespace qm
