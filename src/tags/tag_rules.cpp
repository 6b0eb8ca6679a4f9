// PLC tags as S7comm rules and IEC 61850 variables, and their import into a configuration.
#include "tags/tag_rules.h"

#include <algorithm>
#include <utility>

#include "common/conversions.h"
#include "common/file_io.h"
#include "language/lang_strings.h"
#include "map/data_map.h"
#include "tables/iec61850_variables.h"
#include "tables/table_check.h"
#include "tables/exchange_texts.h"
#include "tables/table_exchange.h"
#include "tags/tags_texts.h"

namespace qm {

namespace {

namespace tt = tags_text;

std::string Area_Item(Tag_Area area) {
    switch (area) {
    case Tag_Area::Input: return "Inputs (I)";
    case Tag_Area::Output: return "Output (Q)";
    case Tag_Area::Flag: return "Flags (M) (Merker)";
    case Tag_Area::Periphery_Input:
    case Tag_Area::Periphery_Output: return "Direct peripheral access (P)";
    default: return {};
    }
}

// The highest byte after the rules of the list: where new rules start unless told otherwise.
int End_Of_Used(const Table_Rows& list, int position_column) {
    int end = 0;
    const int n = List_Length(list, S7_Read_Col::PLC_Address, S7_Rows);
    for (int i = 0; i < n; ++i) {
        const Table_Row& row = list[static_cast<std::size_t>(i)];
        const int position = Text_To_Int(Cell(row, position_column), -1);
        const int size = std::max(1, Rule_Size(Trim(Cell(row, S7_Read_Col::Data_Type))));
        if (position >= 0) {
            end = std::max(end, position + size);
        }
    }
    return end;
}

// The bytes of the data array the list's rules take, switched off or not: a rule that is off
// keeps its place for when it is switched on again.
std::vector<bool> Used_Bytes(const Table_Rows& list, int position_column, int nbyte) {
    std::vector<bool> used(static_cast<std::size_t>(std::max(nbyte, 0)), false);
    const int n = List_Length(list, S7_Read_Col::PLC_Address, S7_Rows);
    for (int i = 0; i < n; ++i) {
        const Table_Row& row = list[static_cast<std::size_t>(i)];
        const int position = Text_To_Int(Cell(row, position_column), -1);
        const int size = std::max(1, Rule_Size(Trim(Cell(row, S7_Read_Col::Data_Type))));
        for (int b = std::max(position, 0); position >= 0 && b < position + size && b < nbyte; ++b) {
            used[static_cast<std::size_t>(b)] = true;
        }
    }
    return used;
}

// Whether a finding of the map concerns a row the import adds.
bool Concerns_New(const Map_Finding& finding, Map_List target, int first_row, int first_variable) {
    const auto any_from = [](const std::vector<int>& rows, int first) {
        return first > 0 && std::any_of(rows.begin(), rows.end(), [&](int row) { return row >= first; });
    };
    return (finding.list == target && any_from(finding.rows, first_row)) ||
           (finding.list == Map_List::Variables && any_from(finding.rows, first_variable)) ||
           (target == Map_List::S7_Read && any_from(finding.rule_rows, first_row));
}

} // namespace

std::string Rule_Data_Type(std::string_view tag_type) {
    const Elementary_Type* type = Find_Elementary_Type(Trim(tag_type));
    return type != nullptr && type->rule != nullptr ? type->rule : "";
}

int Rule_Size(std::string_view data_type) {
    if (data_type == "Bit" || data_type == "Byte" || data_type == "Char") {
        return 1;
    }
    if (data_type == "Word" || data_type == "Int") {
        return 2;
    }
    if (data_type == "DWord" || data_type == "DInt" || data_type == "Real") {
        return 4;
    }
    return 0;
}

Tag_Rules Make_Tag_Rules(const std::vector<Plc_Tag>& tags, const Table_Rows& list, const Tag_Import_Options& options) {
    Tag_Rules out;
    const bool write = options.write_list;
    const int columns = write ? int{S7_Write_Col::Col_Count} : int{S7_Read_Col::Col_Count};
    const int position_column = write ? int{S7_Write_Col::Position} : int{S7_Read_Col::Position};
    const int bit_column = write ? int{S7_Write_Col::Bit} : int{S7_Read_Col::Bit};
    const int nbyte = write ? NByte_OUT : NByte_IN;
    int next = options.first_position ? *options.first_position : End_Of_Used(list, position_column);
    // Free bytes only: from a first position the user gave, the bytes of the rules already there
    // are stepped over, so what the import adds never overlaps them.
    const std::vector<bool> used = Used_Bytes(list, position_column, nbyte);
    const auto take = [&](int size) {
        const auto is_free = [&](int from) {
            for (int b = from; b < from + size && b < nbyte; ++b) {
                if (b >= 0 && used[static_cast<std::size_t>(b)]) return false;
            }
            return true;
        };
        while (next < nbyte && !is_free(next)) ++next;
        const int at = next;
        next += size;
        return at;
    };
    int bit_byte = -1; // the byte the current run of Bool tags packs into, -1 outside a run
    int next_bit = 0;
    for (const Plc_Tag& tag : tags) {
        const std::string data_type = Rule_Data_Type(tag.type);
        const int size = Rule_Size(data_type);
        int position = 0;
        int start_bit = 0;
        if (data_type == "Bit") {
            if (bit_byte < 0 || next_bit == 8) {
                bit_byte = take(1);
                next_bit = 0;
            }
            position = bit_byte;
            start_bit = next_bit++;
        } else {
            bit_byte = -1;
            position = take(size);
        }
        if (size == 0 || position + size > nbyte) {
            out.errors.push_back({tag.line, Lang(tt::Past_End) + std::to_string(nbyte - 1)});
            return out;
        }
        using C = S7_Read_Col; // columns 1 to 13 are the same in both lists
        Table_Row row = Reset_Row(columns);
        const auto set = [&](int column, std::string text) { row[static_cast<std::size_t>(column - 1)] = std::move(text); };
        const bool in_db = tag.address.area == Tag_Area::Data_Block;
        set(C::Enable, "Y");
        set(C::PLC_Address, options.plc_address);
        set(C::PLC_Port, options.port);
        set(C::PLC_Type, options.plc_type);
        set(C::Rack, options.rack);
        set(C::Slot, options.slot);
        set(C::Data_Type, data_type);
        // The device takes the DB Number when the identifier is DB; an area tag keeps 0 there.
        set(C::Data_Identifier, in_db ? "DB" : options.area_identifier);
        set(C::DB_Number, std::to_string(in_db ? tag.address.db : 0));
        set(C::PLC_Area, in_db ? options.db_area : Area_Item(tag.address.area));
        set(C::PLC_Add, std::to_string(tag.address.byte));
        set(C::PLC_Bit, std::to_string(data_type == "Bit" ? tag.address.bit : 0));
        set(C::PollTime, options.poll_time);
        set(position_column, std::to_string(position));
        set(bit_column, std::to_string(start_bit));
        set(position_column + 2, "N"); // Swap
        set(position_column + 3, "N"); // Swap Word
        set(position_column + 4, tag.name);
        if (write) {
            set(S7_Write_Col::OnChange, "N");
            set(S7_Write_Col::OnCMD, "N");
        }
        out.rules.push_back(std::move(row));
        out.lines.push_back(tag.line);
        if (options.variables && !write) {
            Table_Row variable = Reset_Row(Var_Col::Col_Count);
            const auto var = [&](int column, std::string text) {
                variable[static_cast<std::size_t>(column - 1)] = std::move(text);
            };
            var(Var_Col::Enable, "Y");
            var(Var_Col::Name, tag.name);
            var(Var_Col::Type, data_type == "Bit" ? "Digital (Bit)" : data_type == "Real" ? "Float" : "Int");
            var(Var_Col::Length, std::to_string(size));
            var(Var_Col::ReadOnly, "Y");
            var(Var_Col::Position, std::to_string(position));
            var(Var_Col::StartBit, std::to_string(start_bit));
            var(Var_Col::Conversion, "None");
            var(Var_Col::MultiplicationFactor, "None");
            var(Var_Col::Swap, "N");
            var(Var_Col::SwapWord, "N");
            var(Var_Col::Mnemonic, tag.comment);
            out.variables.push_back(std::move(variable));
        }
    }
    return out;
}

Tag_Merge Merge_Tag_Rules(S7_Protocol_Data data, Table_Rows variables, const Tag_Rules& rules,
                          const Tag_Import_Options& options) {
    Tag_Merge out;
    Table_Rows& list = options.write_list ? data.Write : data.Read;
    const int columns = options.write_list ? int{S7_Write_Col::Col_Count} : int{S7_Read_Col::Col_Count};
    list.resize(S7_Rows, Reset_Row(columns));
    const int length = List_Length(list, S7_Read_Col::PLC_Address, S7_Rows);
    out.first_row = length + 1;
    const int total = length + static_cast<int>(rules.rules.size());
    if (total > S7_Rows) {
        out.faults.push_back(Lang(tt::Too_Many_Rules) + std::to_string(total) + " > " + std::to_string(S7_Rows));
        out.data = std::move(data);
        out.variables = std::move(variables);
        return out;
    }
    if (!rules.rules.empty() && Trim(options.plc_address).empty()) {
        // A blank PLC Address would end the list before the new rules: the check's own fault.
        const int table = options.write_list ? S7_Write_Table : S7_Read_Table;
        out.faults.push_back(Fault_Text({table == S7_Write_Table ? 1279 : 1271, out.first_row, {}, "PLC_Address", table},
                                        Table_Check::S7_Protocol));
        out.data = std::move(data);
        out.variables = std::move(variables);
        return out;
    }
    // Rows below the end of the list are never saved: the new rules take their place.
    std::copy(rules.rules.begin(), rules.rules.end(), list.begin() + length);
    std::fill(list.begin() + total, list.end(), Reset_Row(columns));

    if (!rules.variables.empty()) {
        variables.resize(Variable_Rows, Reset_Row(Var_Col::Col_Count));
        const int existing = List_Length(variables, Var_Col::Name, Variable_Rows);
        const int all = existing + static_cast<int>(rules.variables.size());
        if (all > Variable_Rows) {
            out.faults.push_back(Lang(tt::Too_Many_Variables) + std::to_string(all) + " > " +
                                 std::to_string(Variable_Rows));
        } else {
            out.first_variable = existing + 1;
            std::copy(rules.variables.begin(), rules.variables.end(), variables.begin() + existing);
            std::fill(variables.begin() + all, variables.end(), Reset_Row(Var_Col::Col_Count));
            for (const Check_Fault& fault : IEC61850_Variables_Faults(variables, Get_Decimal_Separator())) {
                out.faults.push_back(Fault_Text(fault, Table_Check::IEC61850_Variables));
            }
        }
    }
    for (const Check_Fault& fault : S7_Protocol_Faults(data)) {
        out.faults.push_back(Fault_Text(fault, Table_Check::S7_Protocol));
    }
    if (rules.rules.empty()) {
        out.data = std::move(data);
        out.variables = std::move(variables);
        return out;
    }
    // What the import adds must share no byte with what is there: the data map proves it.
    const Data_Map map = Compute_Data_Map(data.Read, data.Write, variables);
    const Map_List target = options.write_list ? Map_List::S7_Write : Map_List::S7_Read;
    for (const Map_Finding& finding : map.findings) {
        if (finding.kind != Finding_Kind::Overlap && finding.kind != Finding_Kind::Past_End) {
            continue;
        }
        if (Concerns_New(finding, target, out.first_row, out.first_variable)) {
            out.faults.push_back(Lang(tt::Overlap) + Finding_Text(finding, data.Read, data.Write, variables));
        }
    }
    out.data = std::move(data);
    out.variables = std::move(variables);
    return out;
}

Table_Save_Result Save_Tag_Variables(const std::string& path, const Table_Rows& read_rules, const Table_Rows& pending) {
    Table_Rows kept;
    const int n = List_Length(read_rules, S7_Read_Col::PLC_Address, S7_Rows);
    for (const Table_Row& variable : pending) {
        for (int i = 0; i < n; ++i) {
            const Table_Row& rule = read_rules[static_cast<std::size_t>(i)];
            if (Cell(rule, S7_Read_Col::Enable) == "Y" && Cell(rule, S7_Read_Col::Mnemonic) == Cell(variable, Var_Col::Name) &&
                Cell(rule, S7_Read_Col::Position) == Cell(variable, Var_Col::Position)) {
                kept.push_back(variable);
                break;
            }
        }
    }
    if (kept.empty()) {
        return {};
    }
    Table_Read_Result read = Read_IEC61850_Variables_File(path);
    if (read.info.status == Xml_Load_Status::Unreadable || !read.info.complete) {
        return {false, path + ": " + Lang(exchange_text::Not_Read_Completely), {}};
    }
    const int length = List_Length(read.rows, Var_Col::Name, Variable_Rows);
    const int all = length + static_cast<int>(kept.size());
    if (all > Variable_Rows) {
        return {false, Lang(tt::Too_Many_Variables) + std::to_string(all) + " > " + std::to_string(Variable_Rows), {}};
    }
    std::copy(kept.begin(), kept.end(), read.rows.begin() + length);
    std::fill(read.rows.begin() + all, read.rows.end(), Reset_Row(Var_Col::Col_Count));
    if (const std::optional<Check_Fault> fault = Check_IEC61850_Variables(read.rows, Get_Decimal_Separator())) {
        return {false, Fault_Text(*fault, Table_Check::IEC61850_Variables), {}};
    }
    return Save_IEC61850_Variables_File(path, read.rows, false);
}

Tag_Configuration_Import Import_Tags_Into_Configuration(const std::string& folder, std::string_view bytes, long db,
                                                         const Tag_Import_Options& options, bool dry_run,
                                                         const std::function<void()>& before_write) {
    Tag_Configuration_Import out;
    out.read = Read_Tag_File(bytes, db);
    if (!out.read.ok()) {
        return out;
    }
    const std::string s7_path = Path_Join(folder, Layout_Of(Table_Id::S7_Read).file);
    const std::string variables_path = Path_Join(folder, Layout_Of(Table_Id::Variables).file);
    const File_Stamp s7_stamp = Stamp_File(s7_path);
    const File_Stamp variables_stamp = Stamp_File(variables_path);
    S7_Protocol_Read_Result s7 = Read_S7_Protocol_File(s7_path);
    Table_Read_Result variables;
    if (options.variables) {
        variables = Read_IEC61850_Variables_File(variables_path);
    } else {
        variables.rows = Reset_IEC61850_Variables();
    }
    // A list read only in part would be saved without what could not be read: refused.
    for (const Table_Read_Info* info : {&s7.info, &variables.info}) {
        if (info->status == Xml_Load_Status::Unreadable || !info->complete) {
            out.problems.insert(out.problems.end(), info->problems.begin(), info->problems.end());
            if (info->problems.empty()) {
                out.problems.push_back(Lang(tt::Nothing_Written));
            }
        }
    }
    if (!out.problems.empty()) {
        return out;
    }
    out.rules = Make_Tag_Rules(out.read.tags, options.write_list ? s7.data.Write : s7.data.Read, options);
    if (!out.rules.ok()) {
        return out;
    }
    out.merge = Merge_Tag_Rules(std::move(s7.data), std::move(variables.rows), out.rules, options);
    if (!out.merge.ok() || dry_run || out.rules.rules.empty()) {
        return out;
    }
    std::vector<std::pair<std::string, std::string>> files;
    pugi::xml_document doc;
    Write_S7_Protocol_Xml(out.merge.data, doc);
    files.emplace_back(s7_path, Xml_To_String(doc));
    if (out.merge.first_variable > 0) {
        pugi::xml_document variables_doc;
        Write_IEC61850_Variables_Xml(out.merge.variables, variables_doc);
        files.emplace_back(variables_path, Xml_To_String(variables_doc));
    }
    if (before_write) {
        before_write();
    }
    if (Stamp_File(s7_path) != s7_stamp || (options.variables && Stamp_File(variables_path) != variables_stamp)) {
        out.changed_meanwhile = true;
        return out;
    }
    const Io_Result written = Write_Files_Atomic(files);
    out.written = written.ok;
    out.write_error = written.message;
    return out;
}

} // namespace qm
