// Reading .xlsx workbooks: the zip's parts through libzip, each bounded before it is inflated,
// then the workbook, its relationships, shared strings, styles and one worksheet through pugixml.
#include "tables/xlsx_reader.h"

#include <zip.h>

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>
#include <utility>

#include "common/xml_io.h"
#include "language/lang_table.h"
#include "tables/table_exchange.h"
#include "tables/xlsx_texts.h"

namespace qm {

namespace xt = xlsx_text;

namespace {

constexpr int Max_Sheet_Rows = 1048576;
constexpr int Max_Sheet_Columns = 16384;

std::string L(int entry) {
    return Lang(entry);
}

std::string Part_Text(const std::string& part, int entry) {
    return L(xt::Part) + part + L(entry);
}

// Element and attribute names without their namespace prefix: writers differ ("x:row").
std::string_view Local(const char* name) {
    const std::string_view n(name);
    const std::size_t colon = n.find(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

bool Is(const pugi::xml_node& node, std::string_view name) {
    return node.type() == pugi::node_element && Local(node.name()) == name;
}

pugi::xml_node Child(const pugi::xml_node& parent, std::string_view name) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (Is(child, name)) {
            return child;
        }
    }
    return {};
}

pugi::xml_attribute Attribute(const pugi::xml_node& node, std::string_view name) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (Local(a.name()) == name) {
            return a;
        }
    }
    return {};
}

pugi::xml_node Root(const pugi::xml_document& doc) {
    return doc.document_element();
}

std::string Upper_Ascii_Copy(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

void Append_Utf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Office escapes characters XML cannot hold (a CR, a control character) as "_x000D_", and a
// literal "_x" that would read as such an escape as "_x005F_x".
std::string Unescape_Office(std::string_view text) {
    if (text.find("_x") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_') {
            unsigned code = 0;
            const char* first = text.data() + i + 2;
            const auto [end, ec] = std::from_chars(first, first + 4, code, 16);
            if (ec == std::errc() && end == first + 4) {
                Append_Utf8(out, code);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The text of a shared or inline string: its <t>, or the runs' <t> of rich text; the phonetic
// readings (<rPh>) are not part of the value.
std::string String_Item(const pugi::xml_node& item) {
    std::string text;
    for (pugi::xml_node child = item.first_child(); child; child = child.next_sibling()) {
        if (Is(child, "t")) {
            text += child.text().get();
        } else if (Is(child, "r")) {
            text += Child(child, "t").text().get();
        }
    }
    return Unescape_Office(text);
}

// "B5" -> row 5, column 2; false for anything else or outside the sheet's 1048576 x 16384.
bool Parse_Reference(std::string_view ref, int& row, int& column) {
    std::size_t i = 0;
    int c = 0;
    while (i < ref.size() && i < 4 && ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z'))) {
        c = c * 26 + (((ref[i] | 0x20) - 'a') + 1);
        ++i;
    }
    if (i == 0 || c > Max_Sheet_Columns || i == ref.size()) {
        return false;
    }
    int r = 0;
    const auto [end, ec] = std::from_chars(ref.data() + i, ref.data() + ref.size(), r);
    if (ec != std::errc() || end != ref.data() + ref.size() || r < 1 || r > Max_Sheet_Rows) {
        return false;
    }
    row = r;
    column = c;
    return true;
}

// The shortest text that reads back to the same double, in plain decimals: what a user typed.
std::string Number_Text(std::string_view raw) {
    double value = 0;
    const auto [end, ec] = std::from_chars(raw.data(), raw.data() + raw.size(), value);
    if (ec != std::errc() || end != raw.data() + raw.size() || !std::isfinite(value)) {
        return std::string(raw); // no finite number: left as written
    }
    char buffer[400];
    const auto [out, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (error != std::errc()) {
        return std::string(raw);
    }
    return std::string(buffer, out);
}

// Whether a number format shows a date or time: the built-in ones, or a format code with a
// day, month, year, hour or second outside its quoted texts, escapes and colour or locale tags.
bool Is_Date_Format_Code(std::string_view code) {
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            const std::size_t close = code.find('"', i + 1);
            if (close == std::string_view::npos) {
                return false;
            }
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i; // the next character is shown as is (or fills)
        } else if (c == '[') {
            const std::size_t close = code.find(']', i + 1);
            if (close == std::string_view::npos) {
                return false;
            }
            const std::string_view tag = code.substr(i + 1, close - i - 1);
            // [h], [mm], [ss]: elapsed time; [Red], [$-409], [>100]: no date.
            if (!tag.empty() && std::all_of(tag.begin(), tag.end(), [](char t) {
                    return t == 'h' || t == 'H' || t == 'm' || t == 'M' || t == 's' || t == 'S';
                })) {
                return true;
            }
            i = close;
        } else {
            switch (c | 0x20) {
            case 'd':
            case 'm':
            case 'y':
            case 'h':
            case 's':
                return true;
            default:
                break;
            }
        }
    }
    return false;
}

bool Is_Builtin_Date_Format(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58) ||
           (id >= 71 && id <= 81);
}

// A zip entry name from a relationship's target: relative to the folder of the part that names
// it, or absolute ("/xl/workbook.xml").
std::string Resolve_Target(std::string_view base_folder, std::string_view target) {
    std::string path;
    if (!target.empty() && target.front() == '/') {
        path = std::string(target.substr(1));
    } else {
        path = std::string(base_folder) + std::string(target);
    }
    // Fold "./" and "../".
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string joined;
    for (const std::string& part : parts) {
        if (!joined.empty()) {
            joined += '/';
        }
        joined += part;
    }
    return joined;
}

std::string Folder_Of(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string Rels_Of(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
    const std::string_view file = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

struct Relationship {
    std::string id;
    std::string type; // the last segment of the type URI: "worksheet", "sharedStrings", ...
    std::string target;
};

struct Sheet_Entry {
    std::string name;
    std::string part; // zip entry of the worksheet
    bool hidden = false;
};

} // namespace

struct Xlsx_Workbook::Impl {
    std::string bytes; // the zip; libzip reads it in place
    zip_t* archive = nullptr;
    std::vector<Sheet_Entry> sheets;
    std::vector<std::string> names;
    std::vector<std::string> shared_strings;
    std::vector<bool> date_styles; // by cell style index (the cell's "s")

    ~Impl() {
        if (archive != nullptr) {
            zip_discard(archive);
        }
    }

    // The entry's bytes, or why not: refused when it declares, or really unpacks to, more than
    // the limit, when it is compressed more than the ratio allows, or when it is encrypted.
    // found: false when the zip has no such entry (error then empty).
    std::string Read_Part(const std::string& name, std::string& out, bool& found) const {
        out.clear();
        found = false;
        zip_int64_t index = zip_name_locate(archive, name.c_str(), 0);
        if (index < 0) {
            index = zip_name_locate(archive, name.c_str(), ZIP_FL_NOCASE);
        }
        if (index < 0) {
            return {};
        }
        found = true;
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat) != 0) {
            return Part_Text(name, xt::Cannot_Unpack) + zip_strerror(archive);
        }
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE) {
            return Part_Text(name, xt::Part_Encrypted);
        }
        const std::string too_large =
            Part_Text(name, xt::Unpacks_To) + std::to_string(Max_Xlsx_Part_Bytes) + L(xt::Bomb_Bytes);
        const std::string too_dense =
            Part_Text(name, xt::Compressed) + std::to_string(Max_Xlsx_Ratio) + L(xt::Bomb_Times);
        const std::uint64_t declared = (stat.valid & ZIP_STAT_SIZE) != 0 ? stat.size : 0;
        const std::uint64_t compressed = (stat.valid & ZIP_STAT_COMP_SIZE) != 0 ? stat.comp_size : 0;
        if (declared > Max_Xlsx_Part_Bytes) {
            return too_large;
        }
        // A few kilobytes may pack densely (a run of blanks) and harm no one.
        constexpr std::uint64_t ratio_floor = 4096;
        auto over_ratio = [&](std::uint64_t size) {
            return size > ratio_floor && size > compressed * Max_Xlsx_Ratio;
        };
        if (over_ratio(declared)) {
            return too_dense;
        }
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
        if (file == nullptr) {
            return Part_Text(name, xt::Cannot_Unpack) + zip_strerror(archive);
        }
        // The declared size may lie: read in steps and stop at the limit whatever it said.
        out.reserve(static_cast<std::size_t>(declared));
        std::string error;
        char buffer[65536];
        for (;;) {
            const zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
            if (n < 0) {
                error = Part_Text(name, xt::Cannot_Unpack) + zip_file_strerror(file);
                break;
            }
            if (n == 0) {
                break;
            }
            out.append(buffer, static_cast<std::size_t>(n));
            if (out.size() > Max_Xlsx_Part_Bytes) {
                error = too_large;
                break;
            }
            if (over_ratio(out.size())) {
                error = too_dense;
                break;
            }
        }
        zip_fclose(file);
        if (!error.empty()) {
            out.clear();
            out.shrink_to_fit();
        }
        return error;
    }

    // An XML part parsed, or why not. A part with a document type declaration is refused: no
    // workbook has one, and entities are how XML grows without bound.
    std::string Load_Part(const std::string& name, pugi::xml_document& doc, bool& found) const {
        std::string text;
        std::string error = Read_Part(name, text, found);
        if (!error.empty() || !found) {
            return error;
        }
        if (text.find("<!DOCTYPE") != std::string::npos || text.find("<!ENTITY") != std::string::npos) {
            return Part_Text(name, xt::Doctype);
        }
        const Xml_Load_Result loaded = Load_Xml_Text(text, L(xt::Part) + name, doc);
        return loaded.ok() ? std::string() : loaded.message;
    }

    std::string Load_Required(const std::string& name, pugi::xml_document& doc) const {
        bool found = false;
        std::string error = Load_Part(name, doc, found);
        if (error.empty() && !found) {
            error = Part_Text(name, xt::Missing_Part);
        }
        return error;
    }

    // The relationships of a part; none when it has no .rels part.
    std::string Relationships(const std::string& part, std::vector<Relationship>& out) const {
        out.clear();
        pugi::xml_document doc;
        bool found = false;
        const std::string rels = Rels_Of(part);
        if (std::string error = Load_Part(rels, doc, found); !error.empty() || !found) {
            return error;
        }
        const std::string folder = Folder_Of(part);
        for (pugi::xml_node r = Root(doc).first_child(); r; r = r.next_sibling()) {
            if (!Is(r, "Relationship") || std::string_view(r.attribute("TargetMode").value()) == "External") {
                continue;
            }
            const std::string_view type = r.attribute("Type").value();
            const std::size_t slash = type.rfind('/');
            out.push_back({r.attribute("Id").value(),
                           std::string(slash == std::string_view::npos ? type : type.substr(slash + 1)),
                           Resolve_Target(folder, r.attribute("Target").value())});
        }
        return {};
    }

    std::string Open() {
        std::vector<Relationship> rels;
        if (std::string error = Relationships("", rels); !error.empty()) {
            return error;
        }
        std::string workbook_part;
        for (const Relationship& r : rels) {
            if (r.type == "officeDocument") {
                workbook_part = r.target;
                break;
            }
        }
        if (workbook_part.empty()) {
            workbook_part = "xl/workbook.xml";
        }
        pugi::xml_document workbook;
        bool found = false;
        if (std::string error = Load_Part(workbook_part, workbook, found); !error.empty()) {
            return error;
        }
        if (!found || !Is(Root(workbook), "workbook")) {
            return L(xt::No_Workbook);
        }
        if (std::string error = Relationships(workbook_part, rels); !error.empty()) {
            return error;
        }
        std::string shared_part;
        std::string styles_part;
        for (const Relationship& r : rels) {
            if (r.type == "sharedStrings") {
                shared_part = r.target;
            } else if (r.type == "styles") {
                styles_part = r.target;
            }
        }
        for (pugi::xml_node s = Child(Root(workbook), "sheets").first_child(); s; s = s.next_sibling()) {
            if (!Is(s, "sheet")) {
                continue;
            }
            const std::string_view id = Attribute(s, "id").value();
            const auto rel = std::find_if(rels.begin(), rels.end(), [&](const Relationship& r) { return r.id == id; });
            if (rel == rels.end() || rel->type != "worksheet") {
                continue; // a chart sheet, a macro sheet, or a dangling entry
            }
            const std::string_view state = s.attribute("state").value();
            sheets.push_back({s.attribute("name").value(), rel->target, state == "hidden" || state == "veryHidden"});
            names.push_back(sheets.back().name);
        }
        if (!shared_part.empty()) {
            pugi::xml_document doc;
            if (std::string error = Load_Required(shared_part, doc); !error.empty()) {
                return error;
            }
            for (pugi::xml_node si = Root(doc).first_child(); si; si = si.next_sibling()) {
                if (Is(si, "si")) {
                    shared_strings.push_back(String_Item(si));
                }
            }
        }
        if (!styles_part.empty()) {
            pugi::xml_document doc;
            if (std::string error = Load_Required(styles_part, doc); !error.empty()) {
                return error;
            }
            std::vector<std::pair<int, bool>> custom; // numFmtId, is a date
            for (pugi::xml_node f = Child(Root(doc), "numFmts").first_child(); f; f = f.next_sibling()) {
                if (Is(f, "numFmt")) {
                    custom.emplace_back(f.attribute("numFmtId").as_int(-1),
                                        Is_Date_Format_Code(f.attribute("formatCode").value()));
                }
            }
            for (pugi::xml_node xf = Child(Root(doc), "cellXfs").first_child(); xf; xf = xf.next_sibling()) {
                if (!Is(xf, "xf")) {
                    continue;
                }
                const int id = xf.attribute("numFmtId").as_int(0);
                const auto own = std::find_if(custom.begin(), custom.end(), [&](const auto& c) { return c.first == id; });
                date_styles.push_back(own != custom.end() ? own->second : Is_Builtin_Date_Format(id));
            }
        }
        return {};
    }

    Xlsx_Sheet_Result Read(const Sheet_Entry& entry) const {
        Xlsx_Sheet_Result result;
        result.sheet.name = entry.name;
        pugi::xml_document doc;
        if (std::string error = Load_Required(entry.part, doc); !error.empty()) {
            result.error = std::move(error);
            return result;
        }
        const pugi::xml_node data = Child(Root(doc), "sheetData");
        int row_number = 0;
        for (pugi::xml_node r = data.first_child(); r; r = r.next_sibling()) {
            if (!Is(r, "row")) {
                continue;
            }
            const pugi::xml_attribute number = r.attribute("r");
            row_number = number ? number.as_int(0) : row_number + 1;
            if (row_number < 1 || row_number > Max_Sheet_Rows) {
                result.error = Part_Text(entry.part, xt::Bad_Reference) + number.value();
                return result;
            }
            Xlsx_Row row;
            row.number = row_number;
            int column = 0;
            for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
                if (!Is(c, "c")) {
                    continue;
                }
                Xlsx_Cell cell;
                const pugi::xml_attribute ref = c.attribute("r");
                int cell_row = row_number;
                if (ref) {
                    if (!Parse_Reference(ref.value(), cell_row, column) || cell_row != row_number) {
                        result.error = Part_Text(entry.part, xt::Bad_Reference) + Shown_Reference(ref.value());
                        return result;
                    }
                } else if (++column > Max_Sheet_Columns) {
                    result.error = Part_Text(entry.part, xt::Bad_Reference) + Xlsx_Reference(row_number, column);
                    return result;
                }
                cell.row = row_number;
                cell.column = column;
                cell.reference = Xlsx_Reference(row_number, column);
                if (std::string error = Fill(c, entry.part, cell); !error.empty()) {
                    result.error = std::move(error);
                    return result;
                }
                row.cells.push_back(std::move(cell));
            }
            std::stable_sort(row.cells.begin(), row.cells.end(),
                             [](const Xlsx_Cell& a, const Xlsx_Cell& b) { return a.column < b.column; });
            result.sheet.rows.push_back(std::move(row));
        }
        std::stable_sort(result.sheet.rows.begin(), result.sheet.rows.end(),
                         [](const Xlsx_Row& a, const Xlsx_Row& b) { return a.number < b.number; });
        return result;
    }

    static std::string Shown_Reference(std::string_view ref) {
        return std::string(ref.substr(0, 16));
    }

    // The cell's kind and text from its type ("t"), style ("s"), formula and value.
    std::string Fill(const pugi::xml_node& c, const std::string& part, Xlsx_Cell& cell) const {
        const std::string_view type = c.attribute("t").value();
        const pugi::xml_node formula = Child(c, "f");
        const pugi::xml_node value = Child(c, "v");
        const std::string_view v = value.text().get();
        if (type == "inlineStr") {
            const pugi::xml_node is = Child(c, "is");
            if (is) {
                cell.kind = Xlsx_Cell_Kind::Text;
                cell.text = String_Item(is);
                return {};
            }
        }
        // openpyxl writes a formula it cannot compute with an empty value; an empty string is
        // a value only for a string formula.
        if (!value || (formula && v.empty() && type != "str")) {
            if (formula) {
                cell.kind = Xlsx_Cell_Kind::Formula_Without_Value;
                cell.text = formula.text().get();
                cell.error = L(xt::Cell) + cell.reference + L(xt::Colon) + Xlsx_Cell_Problem(cell);
            }
            return {}; // a blank (styled) cell
        }
        if (type == "s") {
            std::size_t index = 0;
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), index);
            if (ec != std::errc() || end != v.data() + v.size() || index >= shared_strings.size()) {
                return Part_Text(part, xt::No_Shared_String) + cell.reference;
            }
            cell.kind = Xlsx_Cell_Kind::Text;
            cell.text = shared_strings[index];
        } else if (type == "str" || type == "inlineStr") {
            cell.kind = Xlsx_Cell_Kind::Text;
            cell.text = Unescape_Office(v);
        } else if (type == "b") {
            cell.kind = Xlsx_Cell_Kind::Boolean;
            cell.text = v == "0" || v == "false" ? "FALSE" : "TRUE";
        } else if (type == "e") {
            cell.kind = Xlsx_Cell_Kind::Error;
            cell.text = v;
        } else if (type == "d") {
            cell.kind = Xlsx_Cell_Kind::Date;
            cell.text = v;
        } else {
            const std::size_t style = c.attribute("s").as_uint(0);
            const bool date = style < date_styles.size() && date_styles[style];
            cell.kind = date ? Xlsx_Cell_Kind::Date : Xlsx_Cell_Kind::Number;
            cell.text = Number_Text(v);
        }
        if (cell.kind == Xlsx_Cell_Kind::Date || cell.kind == Xlsx_Cell_Kind::Error) {
            cell.error = L(xt::Cell) + cell.reference + L(xt::Colon) + Xlsx_Cell_Problem(cell);
        }
        return {};
    }
};

const Xlsx_Cell* Xlsx_Row::Cell(int column) const {
    const auto it = std::lower_bound(cells.begin(), cells.end(), column,
                                     [](const Xlsx_Cell& c, int col) { return c.column < col; });
    return it != cells.end() && it->column == column ? &*it : nullptr;
}

Xlsx_Workbook::Xlsx_Workbook(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Xlsx_Workbook::~Xlsx_Workbook() = default;

Xlsx_Open_Result Xlsx_Workbook::Open_Bytes(std::string_view bytes) {
    Xlsx_Open_Result result;
    if (bytes.size() > Max_Xlsx_File_Bytes) {
        result.error = L(xt::Too_Large) + std::to_string(Max_Xlsx_File_Bytes) + L(1046);
        return result;
    }
    // A workbook saved with a password is no zip: Office wraps it in a compound file.
    if (bytes.size() >= 8 && bytes.substr(0, 8) == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        result.error = L(xt::Encrypted_File);
        return result;
    }
    if (!Looks_Like_Zip(bytes)) {
        result.error = L(xt::Not_Zip);
        return result;
    }
    auto impl = std::make_unique<Impl>();
    impl->bytes.assign(bytes);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(impl->bytes.data(), impl->bytes.size(), 0, &error);
    if (source != nullptr) {
        impl->archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
        if (impl->archive == nullptr) {
            zip_source_free(source);
        }
    }
    zip_error_fini(&error);
    if (impl->archive == nullptr) {
        result.error = L(xt::Not_Zip);
        return result;
    }
    if (std::string why = impl->Open(); !why.empty()) {
        result.error = std::move(why);
        return result;
    }
    result.workbook.reset(new Xlsx_Workbook(std::move(impl)));
    return result;
}

Xlsx_Open_Result Xlsx_Workbook::Open_File(const std::string& path) {
    std::string bytes;
    if (std::optional<std::string> error = Read_Exchange_File(path, bytes, Max_Xlsx_File_Bytes)) {
        Xlsx_Open_Result result;
        result.error = std::move(*error);
        return result;
    }
    return Open_Bytes(bytes);
}

const std::vector<std::string>& Xlsx_Workbook::Sheet_Names() const {
    return impl_->names;
}

bool Xlsx_Workbook::Sheet_Hidden(std::string_view name) const {
    for (const Sheet_Entry& s : impl_->sheets) {
        if (s.name == name) {
            return s.hidden;
        }
    }
    return false;
}

Xlsx_Sheet_Result Xlsx_Workbook::Read_Sheet(std::string_view name) const {
    const Sheet_Entry* found = nullptr;
    for (const Sheet_Entry& s : impl_->sheets) {
        if (s.name == name) {
            found = &s;
            break;
        }
    }
    if (found == nullptr) {
        const std::string upper = Upper_Ascii_Copy(name);
        for (const Sheet_Entry& s : impl_->sheets) {
            if (Upper_Ascii_Copy(s.name) == upper) {
                found = &s;
                break;
            }
        }
    }
    if (found == nullptr) {
        Xlsx_Sheet_Result result;
        result.error = L(xt::No_Sheet_Named) + std::string(name);
        return result;
    }
    return impl_->Read(*found);
}

Xlsx_Sheet_Result Xlsx_Workbook::Read_First_Sheet() const {
    if (impl_->sheets.empty()) {
        Xlsx_Sheet_Result result;
        result.error = L(xt::No_Worksheet);
        return result;
    }
    return impl_->Read(impl_->sheets.front());
}

bool Looks_Like_Zip(std::string_view bytes) {
    return bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == 'K';
}

std::string Xlsx_Cell_Problem(const Xlsx_Cell& cell) {
    switch (cell.kind) {
    case Xlsx_Cell_Kind::Date:
        return L(xt::Date);
    case Xlsx_Cell_Kind::Error:
        return L(xt::Error_Value) + cell.text;
    case Xlsx_Cell_Kind::Formula_Without_Value:
        return L(xt::No_Cached_Value);
    default:
        return {};
    }
}

std::string Xlsx_Reference(int row, int column) {
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return letters + std::to_string(row);
}

} // namespace qm
