// quillmaker-cli map <configuration-folder> [--json]
//
// How the S7comm rules and the IEC 61850 variables share the converter's data arrays, read as
// the device gets the lists. The text form lists the findings first, then the rows the map left
// out, then which rows own which bytes. --json prints one object:
//
//   {"findings": [{"kind": "overlap"|"past-end"|"unfed"|"size-mismatch",
//                  "list": "s7-read"|"s7-write"|"variables", "rows": [3, 5],
//                  "first_byte": 20, "last_byte": 20, "bit": 3 | null, "text": "...",
//                  "rule_rows": [...] (size-mismatch only)}, ...],
//    "left_out": [{"list": ..., "row": 4, "value": "abc", "left_out": true, "text": "..."}, ...],
//                 (left_out false: mapped as the device reads it, an unknown Data Type as Bit)
//    "read_rules": n, "write_rules": n, "variables": n}        (the enabled rows mapped)
//
// Exit code: 0 no finding, 1 findings, 2 usage error, a folder that holds no configuration or a
// list file that cannot be read.

#include <cstdio>

#include "cli/commands.h"
#include "common/conversions.h"
#include "common/file_io.h"
#include "language/lang_table.h"
#include "map/data_map.h"
#include "map/map_texts.h"
#include "review/review_common.h"
#include "review/review_texts.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"

namespace qm::cli {
namespace {

namespace mt = map_text;

std::string Json_String(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\u%04x", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Json_Rows(const std::vector<int>& rows) {
    std::string out = "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out += (i > 0 ? ", " : "") + std::to_string(rows[i]);
    }
    return out + "]";
}

void Print_Json(const Data_Map& map, const Map_Lists& lists, std::ostream& out) {
    out << "{\"findings\": [";
    for (std::size_t i = 0; i < map.findings.size(); ++i) {
        const Map_Finding& f = map.findings[i];
        out << (i > 0 ? ",\n  " : "\n  ") << "{\"kind\": \"" << Kind_Key(f.kind) << "\", \"list\": \""
            << List_Key(f.list) << "\", \"rows\": " << Json_Rows(f.rows) << ", \"first_byte\": " << f.first_byte
            << ", \"last_byte\": " << f.last_byte << ", \"bit\": " << (f.bit >= 0 ? std::to_string(f.bit) : "null");
        if (f.kind == Finding_Kind::Size_Mismatch) out << ", \"rule_rows\": " << Json_Rows(f.rule_rows);
        out << ", \"text\": " << Json_String(Finding_Text(f, lists.read, lists.write, lists.variables)) << "}";
    }
    out << (map.findings.empty() ? "" : "\n") << "],\n\"left_out\": [";
    for (std::size_t i = 0; i < map.notes.size(); ++i) {
        const Map_Note& n = map.notes[i];
        out << (i > 0 ? ",\n  " : "\n  ") << "{\"list\": \"" << List_Key(n.list) << "\", \"row\": " << n.row
            << ", \"value\": " << Json_String(n.text) << ", \"left_out\": " << (n.left_out ? "true" : "false")
            << ", \"text\": " << Json_String(Note_Text(n)) << "}";
    }
    out << (map.notes.empty() ? "" : "\n") << "],\n\"read_rules\": " << map.read.size()
        << ", \"write_rules\": " << map.write.size() << ", \"variables\": " << map.variables.size() << "}\n";
}

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) text.resize(width, ' ');
    return text + " ";
}

void Print_Text(const Data_Map& map, const Map_Lists& lists, std::ostream& out) {
    if (map.findings.empty()) {
        out << Lang(mt::No_Findings) << "\n";
    } else {
        out << Lang(mt::Findings) << map.findings.size() << "\n";
        for (const Map_Finding& f : map.findings) {
            out << "  " << Finding_Line(f, lists.read, lists.write, lists.variables) << "\n";
        }
    }
    if (!map.notes.empty()) {
        out << Lang(mt::Notes) << "\n";
        for (const Map_Note& n : map.notes) out << "  " << Note_Text(n) << "\n";
    }
    const Owner_Tables tables = Owner_Rows(map, lists.read, lists.write, lists.variables);
    out << Lang(mt::Data_Array) << "\n";
    for (const Owner_Row& row : tables.data) {
        out << "  " << Padded(row.bytes, 20) << row.owner
            << (row.unfilled ? Lang(mt::Fed_By_None) : row.shown_by.empty() ? std::string() : Lang(mt::Shown_By) + row.shown_by)
            << "\n";
    }
    out << Lang(mt::Write_Array) << "\n";
    for (const Owner_Row& row : tables.write) out << "  " << Padded(row.bytes, 20) << row.owner << "\n";
}

} // namespace

int Run_Map(const Args& args, std::ostream& out, std::ostream& err) {
    Load_Default_Strings();
    std::string folder;
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--json" && !json) {
            json = true;
        } else if (folder.empty() && !arg.empty() && arg[0] != '-') {
            folder = arg;
        } else {
            folder.clear();
            break;
        }
    }
    if (folder.empty() || args.size() != (json ? 2U : 1U)) {
        err << Lang(mt::Usage) << "\n";
        return 2;
    }
    if (!Dir_Exists(folder)) {
        err << "quillmaker-cli map: " << Lang(review_text::Not_Folder) << folder << "\n";
        return 2;
    }
    // A map of nothing would pass for a clean configuration.
    if (!Has_Configuration_Files(folder)) {
        err << "quillmaker-cli map: " << folder << Lang(review_text::Not_Configuration) << "\n";
        return 2;
    }
    const Map_Lists lists = Read_Map_Lists(folder);
    if (!lists.problems.empty()) {
        for (const std::string& problem : lists.problems) err << "quillmaker-cli map: " << problem << "\n";
        return 2;
    }
    const Data_Map map = Compute_Data_Map(lists.read, lists.write, lists.variables);
    if (json) {
        Print_Json(map, lists, out);
    } else {
        Print_Text(map, lists, out);
    }
    return map.findings.empty() ? 0 : 1;
}

} // namespace qm::cli
