#include "tables/table_exchange.h"

#include <algorithm>
#include <array>
#include <set>
#include <utility>

#include "common/conversions.h"
#include "common/file_io.h"
#include "language/lang_table.h"
#include "language/text_decode.h"
#include "tables/csv_text.h"
#include "tables/exchange_texts.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/table_check.h"
#include "tables/table_layout.h"
#include "tables/tls_known_cert.h"

namespace qm {
namespace {

// String-table entries of the messages; a variable part is joined between two of them.
enum Entry : int {
    E_Line = 1038,            // "line "
    E_Colon = 1039,           // ": "
    E_Row = 1040,             // "row "
    E_Comma = 1041,           // ", "
    E_Empty_File = 1042,
    E_Folder = 1043,
    E_Cannot_Read = 1044,
    E_Too_Large = 1045,       // + limit + E_Bytes
    E_Bytes = 1046,
    E_Long_Line = 1047,       // + limit + E_Bytes
    E_Bad_Utf8 = 1048,
    E_Bad_Utf16 = 1049,
    E_Nul = 1050,
    E_Stray_Quote = 1051,
    E_Unclosed_Quote = 1052,
    E_Unknown_Column = 1053,  // + name + E_Columns_Are + names
    E_Columns_Are = 1054,
    E_Column = 1055,          // + name + E_Twice
    E_Twice = 1056,
    E_No_Key_Column = 1057,   // + title + E_Every_Row
    E_Every_Row = 1058,
    E_Line_Has = 1059,        // + fields + E_Fields_But + columns + E_Columns
    E_Fields_But = 1060,
    E_Columns = 1061,
    E_Unnamed = 1062,         // + column number + E_No_Name
    E_No_Name = 1063,
    E_Key_Blank = 1064,       // title + this
    E_File_Holds = 1065,      // + rows + E_Room (replace) / E_Already + rows + E_Room_After (append) + capacity
    E_Room = 1066,
    E_Already = 1067,
    E_Room_After = 1068,
    E_Value = 1069,           // title + this + value + one of the three below
    E_Not_Check = 1070,
    E_Not_Item = 1071,        // + items
    E_Not_Position = 1072,    // + largest position
    E_Control = 1073,         // title + this + code + E_Control_End
    E_Control_End = 1074,
    E_More = 1075,            // + count + E_More_End
    E_More_End = 1076,
    E_Empty_Clipboard = 1077,
    E_Block_Has = 1078,       // + rows + E_Rows_From + row + E_Room_For + rows
    E_Rows_From = 1079,
    E_Room_For = 1080,
    E_Columns_From = 1081,    // E_Block_Has + columns + this + title + E_Room_For + columns
    E_No_Such_File = 1106,
    E_Mixed_Encoding = exchange_text::Mixed_Encoding,
    E_Undefined_Byte = exchange_text::Undefined_Byte, // + byte + E_Undefined_End
    E_Undefined_End = exchange_text::Undefined_End,
    E_Enable_Blank = exchange_text::Enable_Blank,     // title + this
    E_More_One = exchange_text::More_One,             // the singular of E_More_End
};

std::string L(int entry) {
    return Lang(entry);
}

const Column_Layout& Column_Of(Exchange_Table table, int column) {
    return Layout_Of(table).Column(column);
}

std::string Title(Exchange_Table table, int column) {
    const std::string_view title = Trim(Lang(Column_Of(table, column).title));
    return title.empty() ? std::string(Column_Of(table, column).attribute) : std::string(title);
}

// A value quoted in a message: long texts are cut, on a character boundary.
std::string Shown(std::string_view value) {
    constexpr std::size_t limit = 60;
    if (value.size() <= limit) {
        return std::string(value);
    }
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(value.substr(0, cut)) + "...";
}

std::string Joined(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items) {
        if (!joined.empty()) {
            joined += ", ";
        }
        joined += item;
    }
    return joined;
}

bool Same_Ignoring_Case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        x = x >= 'a' && x <= 'z' ? static_cast<char>(x - 'a' + 'A') : x;
        y = y >= 'a' && y <= 'z' ? static_cast<char>(y - 'a' + 'A') : y;
        if (x != y) {
            return false;
        }
    }
    return true;
}

// The check-box words spreadsheets write (Excel's TRUE and FALSE in the languages it is used in
// here among them); "Y"/"N" are what the tables store.
std::optional<bool> Check_Word(std::string_view trimmed) {
    static constexpr std::array<std::string_view, 10> on = {"Y", "1", "TRUE", "YES", "VERO", "WAHR", "VRAI",
                                                            "VERDADERO", "SI", "JA"};
    static constexpr std::array<std::string_view, 8> off = {"N", "0", "FALSE", "NO", "FALSO", "FALSCH", "FAUX",
                                                             "NEIN"};
    for (const std::string_view word : on) {
        if (Same_Ignoring_Case(trimmed, word)) {
            return true;
        }
    }
    for (const std::string_view word : off) {
        if (Same_Ignoring_Case(trimmed, word)) {
            return false;
        }
    }
    return std::nullopt;
}

// Code of the first character an XML 1.0 file cannot hold (controls other than tab, CR and LF;
// U+FFFE and U+FFFF), or -1.
long Forbidden_Character(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') {
            return c;
        }
        if (c == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
            (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
            return static_cast<unsigned char>(text[i + 2]) == 0xBE ? 0xFFFE : 0xFFFF;
        }
    }
    return -1;
}

// Whether a spreadsheet would take a cell's text as a formula (=, +, -, @) or drop its leading
// tab or CR. Leading apostrophes are looked past, so that a text that itself begins with one
// keeps it through export and import.
bool Spreadsheet_Would_Change(std::string_view text) {
    const std::size_t first = text.find_first_not_of('\'');
    if (first == std::string_view::npos) {
        return false;
    }
    const char c = text[first];
    return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

// A cell as it goes to a spreadsheet: such a text gets a leading apostrophe, which Excel and
// LibreOffice read as "this is text"; the import takes it off again.
void Append_Cell(std::string& out, std::string_view text, char separator) {
    if (Spreadsheet_Would_Change(text)) {
        std::string protected_text = "'";
        protected_text += text;
        Append_Csv_Field(out, protected_text, separator);
    } else {
        Append_Csv_Field(out, text, separator);
    }
}

void Remove_Text_Mark(std::string& cell) {
    if (cell.starts_with('\'') && Spreadsheet_Would_Change(std::string_view(cell).substr(1))) {
        cell.erase(0, 1);
    }
}

// A Position list's value: its items are the plain decimal texts "0" to size - 1, without
// leading zeros, checked as numbers rather than against 1500 texts.
template <typename Title_Of>
std::string Take_Position(int size, std::string_view trimmed, std::string& cell, const Title_Of& title) {
    int value = 0;
    bool digits = trimmed.size() <= 9 && (trimmed.size() == 1 || trimmed.front() != '0');
    for (std::size_t i = 0; digits && i < trimmed.size(); ++i) {
        digits = trimmed[i] >= '0' && trimmed[i] <= '9';
        value = value * 10 + (trimmed[i] - '0');
    }
    if (digits && value < size) {
        cell = std::string(trimmed);
        return {};
    }
    return title() + L(E_Value) + Shown(cell) + L(E_Not_Position) + std::to_string(size - 1);
}

// Turns a cell as the file holds it into the value to store, in place; the message (title
// first) why the column cannot take it, or an empty text. A refused cell is left as it was.
std::string Take_Value(Exchange_Table table, int column, std::string& cell) {
    const Column_Layout& layout = Column_Of(table, column);
    // Only a refused value needs the title: a file of 512 rules takes ten thousand values.
    const auto title = [&] { return Title(table, column); };
    Remove_Text_Mark(cell);
    if (const long code = Forbidden_Character(cell); code >= 0) {
        return title() + L(E_Control) + std::to_string(code) + L(E_Control_End);
    }
    const std::string_view trimmed = Trim(cell);
    switch (layout.kind) {
    case Cell_Kind::Text:
    case Cell_Kind::Lines:
    case Cell_Kind::Free_List:
        return {};
    case Cell_Kind::Check:
        if (trimmed.empty()) {
            // An empty Enable would be a rule that is off and never checked, without anyone
            // having said so; the other check boxes may stay empty, as the windows leave them.
            if (column == 1) {
                return title() + L(E_Enable_Blank);
            }
            cell.clear();
            return {};
        }
        if (const std::optional<bool> on = Check_Word(trimmed)) {
            cell = *on ? "Y" : "N";
            return {};
        }
        return title() + L(E_Value) + Shown(cell) + L(E_Not_Check);
    case Cell_Kind::List:
        if (trimmed.empty()) {
            cell.clear();
            return {};
        }
        if (layout.items == nullptr) {
            return Take_Position(layout.data_size, trimmed, cell, title);
        }
        for (const std::string& item : *layout.items) {
            if (Same_Ignoring_Case(item, trimmed)) {
                cell = item;
                return {};
            }
        }
        return title() + L(E_Value) + Shown(cell) + L(E_Not_Item) + Joined(*layout.items);
    }
    return {};
}

Table_Row Missing_Row(Exchange_Table table) {
    Table_Row row;
    for (const Column_Layout& layout : Layout_Of(table).columns) {
        row.emplace_back(layout.missing);
    }
    return row;
}

// The header's matching names of a column: its attribute, its English title, its title now.
bool Names_Column(Exchange_Table table, int column, const std::string& upper_cell) {
    const Column_Layout& layout = Column_Of(table, column);
    if (upper_cell == Upper_Ascii(layout.attribute)) {
        return true;
    }
    for (const std::string* title : {&Default_String(layout.title), &Lang(layout.title)}) {
        const std::string_view t = Trim(*title);
        if (!t.empty() && upper_cell == Upper_Ascii(t)) {
            return true;
        }
    }
    return false;
}

struct Decoded {
    std::string text;
    std::optional<std::string> error; // without "line N: "
    int error_line = 0;
};

int Line_Of_Offset(std::string_view text, std::size_t offset) {
    int line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

std::string Hex_Byte(unsigned char b) {
    static constexpr char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[b >> 4] + digits[b & 0x0F];
}

// Spreadsheets write UTF-8 (with or without byte-order mark), UTF-16 with one ("Unicode Text"),
// or Windows-1252 (Excel's plain CSV on Western Windows). Nothing is guessed: a file that is
// neither wholly UTF-8 nor wholly 8-bit text is refused rather than read as the wrong one, which
// would change every accented letter of the list.
Decoded Decode(std::string_view bytes) {
    Decoded out;
    const auto fail = [&](std::string text, std::string_view where, std::size_t offset) {
        out.error = std::move(text);
        out.error_line = Line_Of_Offset(where, offset);
        return out;
    };
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        const std::string_view body = bytes.substr(3);
        if (const std::size_t bad = First_Invalid_Utf8(body); bad != std::string_view::npos) {
            return fail(L(E_Bad_Utf8), body, bad);
        }
        out.text.assign(body);
    } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        Decoded_Text decoded = Decode_Text(bytes, 1252); // the page is not used behind a byte-order mark
        if (decoded.invalid_characters > 0) {
            const std::size_t at = decoded.utf8.find("\xEF\xBF\xBD");
            return fail(L(E_Bad_Utf16), decoded.utf8, at == std::string::npos ? 0 : at);
        }
        out.text = std::move(decoded.utf8);
    } else if (const std::size_t bad = First_Invalid_Utf8(bytes); bad == std::string_view::npos) {
        out.text.assign(bytes);
    } else if (Has_Utf8_Multibyte(bytes)) {
        return fail(L(E_Mixed_Encoding), bytes, bad);
    } else if (const std::size_t undefined = Decode_Windows_1252(bytes, out.text);
               undefined != std::string_view::npos) {
        return fail(L(E_Undefined_Byte) + Hex_Byte(static_cast<unsigned char>(bytes[undefined])) + L(E_Undefined_End),
                    bytes, undefined);
    }
    // Whatever the encoding: UTF-16 without a byte-order mark, or no text at all.
    if (const std::size_t nul = out.text.find('\0'); nul != std::string::npos) {
        const std::string text = std::move(out.text);
        out.text.clear();
        return fail(L(E_Nul), text, nul);
    }
    return out;
}

// Collects errors up to the limit and counts the rest.
class Error_List {
public:
    void Add(int line, std::string text) {
        ++count_;
        if (static_cast<int>(errors_.size()) < Max_Listed_Errors) {
            errors_.push_back({line, With_Line(line, text)});
        } else {
            ++more_;
        }
    }
    // An error that must be seen whatever came before it (the count of rows).
    void Add_Always(int line, std::string text) {
        ++count_;
        errors_.push_back({line, With_Line(line, text)});
    }
    // Every error added, the unlisted ones included.
    int Count() const { return count_; }
    std::vector<Exchange_Error> Take() {
        std::stable_sort(errors_.begin(), errors_.end(),
                         [](const Exchange_Error& a, const Exchange_Error& b) { return a.line < b.line; });
        if (more_ > 0) {
            errors_.push_back({0, L(E_More) + std::to_string(more_) + L(more_ == 1 ? E_More_One : E_More_End)});
        }
        return std::move(errors_);
    }

private:
    std::vector<Exchange_Error> errors_;
    long more_ = 0;
    int count_ = 0;
};

// The text ready for the CSV reader: decoded, limits checked; a fatal error otherwise.
struct Prepared {
    std::string text;
    char separator = ',';
    bool failed = false;
};

Prepared Prepare(std::string_view bytes, Error_List& errors, bool find_separator) {
    Prepared p;
    if (bytes.size() > Max_Exchange_File_Bytes) {
        errors.Add(0, L(E_Too_Large) + std::to_string(Max_Exchange_File_Bytes) + L(E_Bytes));
        p.failed = true;
        return p;
    }
    Decoded decoded = Decode(bytes);
    if (decoded.error) {
        errors.Add(decoded.error_line, *decoded.error);
        p.failed = true;
        return p;
    }
    if (const int line = First_Line_Longer_Than(decoded.text, Max_Exchange_Line_Bytes); line > 0) {
        errors.Add(line, L(E_Long_Line) + std::to_string(Max_Exchange_Line_Bytes) + L(E_Bytes));
        p.failed = true;
        return p;
    }
    p.text = std::move(decoded.text);
    if (find_separator) {
        // Excel honours a first line "sep=;" and some tools write one; the header follows it.
        const std::string_view text = p.text;
        if (text.size() >= 5 && Upper_Ascii(text.substr(0, 4)) == "SEP=" &&
            (text.size() == 5 || text[5] == '\r' || text[5] == '\n') &&
            (text[4] == ',' || text[4] == ';' || text[4] == '\t')) {
            p.separator = text[4];
            p.text.erase(0, 5); // its line end stays: line 1 is then empty and the header keeps line 2
        } else {
            p.separator = Detect_Separator(text);
        }
    }
    return p;
}

bool Is_Blank_Record(const Csv_Record& record) {
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const std::string& f) { return Trim(f).empty(); });
}

void Add_Syntax_Errors(const std::vector<Csv_Syntax_Error>& syntax, Error_List& errors, bool block, int top_row) {
    for (const Csv_Syntax_Error& e : syntax) {
        const std::string text = L(e.kind == Csv_Syntax::Stray_Quote ? E_Stray_Quote : E_Unclosed_Quote);
        if (block) {
            errors.Add(0, L(E_Row) + std::to_string(top_row + e.line - 1) + L(E_Colon) + text);
        } else {
            errors.Add(e.line, text);
        }
    }
}

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

} // namespace

std::string_view Exchange_Table_Name(Exchange_Table table) {
    return Layout_Of(table).name;
}

std::optional<Exchange_Table> Exchange_Table_Named(std::string_view name) {
    for (const Exchange_Table table : All_Tables) {
        if (name == Exchange_Table_Name(table)) {
            return table;
        }
    }
    return std::nullopt;
}

int Exchange_Capacity(Exchange_Table table) {
    return Layout_Of(table).capacity;
}

int Exchange_Field_Count(Exchange_Table table) {
    return Layout_Of(table).Field_Count();
}

int Exchange_Key_Column(Exchange_Table table) {
    return Layout_Of(table).key_column;
}

std::string_view Exchange_Attribute(Exchange_Table table, int column) {
    return Column_Of(table, column).attribute;
}

std::string Exchange_Column_Title(Exchange_Table table, int column) {
    return Title(table, column);
}

std::string_view Exchange_File_Name(Exchange_Table table) {
    return Layout_Of(table).file;
}

std::string With_Line(int line, const std::string& text) {
    if (line <= 0) {
        return text;
    }
    return L(E_Line) + std::to_string(line) + L(E_Colon) + text;
}

// ---- export ----

char Separator_For_Path(std::string_view path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return ',';
    }
    const std::string extension = Upper_Ascii(path.substr(dot));
    return extension == ".TSV" || extension == ".TXT" ? '\t' : ',';
}

std::string Export_Table(Exchange_Table table, const Table_Rows& rows, char separator) {
    // The rows come out of the table's own writer, so the file says what its OK would save.
    pugi::xml_document doc;
    pugi::xml_node section;
    switch (table) {
    case Exchange_Table::S7_Read:
    case Exchange_Table::S7_Write: {
        S7_Protocol_Data data;
        (table == Exchange_Table::S7_Read ? data.Read : data.Write) = rows;
        Write_S7_Protocol_Xml(data, doc);
        section = First_Node(doc).child(table == Exchange_Table::S7_Read ? "S7_Protocol_Read" : "S7_Protocol_Write");
        break;
    }
    case Exchange_Table::Variables:
        Write_IEC61850_Variables_Xml(rows, doc);
        section = First_Node(doc);
        break;
    case Exchange_Table::Certificates:
        Write_TLS_Known_Cert_Xml(rows, doc);
        section = First_Node(doc);
        break;
    }
    std::string out = "\xEF\xBB\xBF";
    const std::span<const Column_Layout> layout = Layout_Of(table).columns;
    for (std::size_t k = 0; k < layout.size(); ++k) {
        if (k > 0) {
            out += separator;
        }
        Append_Csv_Field(out, layout[k].attribute, separator);
    }
    out += "\r\n";
    for (pugi::xml_node row = section.first_child(); row; row = row.next_sibling()) {
        bool first = true;
        for (pugi::xml_attribute attribute = row.first_attribute(); attribute; attribute = attribute.next_attribute()) {
            if (!first) {
                out += separator;
            }
            first = false;
            Append_Cell(out, attribute.value(), separator);
        }
        out += "\r\n";
    }
    return out;
}

std::string Export_Block(const std::vector<std::vector<std::string>>& cells) {
    std::string out;
    for (const auto& row : cells) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            if (k > 0) {
                out += '\t';
            }
            Append_Cell(out, row[k], '\t');
        }
        out += "\r\n";
    }
    return out;
}

std::string Export_Selection(const Table_Rows& rows, int top_row, int bottom_row, int left_column, int right_column) {
    std::vector<std::vector<std::string>> cells;
    for (int r = top_row; r <= bottom_row; ++r) {
        std::vector<std::string> line;
        for (int c = left_column; c <= right_column; ++c) {
            const bool inside = r >= 1 && r <= static_cast<int>(rows.size());
            line.emplace_back(inside ? Cell(rows[static_cast<std::size_t>(r - 1)], c) : std::string_view());
        }
        cells.push_back(std::move(line));
    }
    return Export_Block(cells);
}

// ---- import ----

Import_Result Import_Table(Exchange_Table table, std::string_view bytes, Import_Mode mode, const Table_Rows& current,
                           Table_Rows other_list, char decimal_separator) {
    Import_Result result;
    Error_List errors;
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

    Prepared prepared = Prepare(bytes, errors, true);
    if (prepared.failed) {
        result.error_count = errors.Count();
        result.errors = errors.Take();
        return result;
    }

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
                    errors.Add(record.line, L(E_Unknown_Column) + Shown(Trim(cell)) + L(E_Columns_Are) + Joined(names));
                    column = -1; // said once here, not again on every line
                } else if (mapped[static_cast<std::size_t>(column)]) {
                    errors.Add(record.line, L(E_Column) + Shown(Trim(cell)) + L(E_Twice));
                    column = -1;
                } else {
                    mapped[static_cast<std::size_t>(column)] = true;
                }
            }
            column_of.push_back(column);
        }
        if (!mapped[static_cast<std::size_t>(key)]) {
            errors.Add(record.line, L(E_No_Key_Column) + Title(table, key) + L(E_Every_Row));
        }
    };

    const Table_Row missing_row = Missing_Row(table);
    auto on_data = [&](Csv_Record& record) {
        ++data_rows;
        // A record may run over many lines inside quotes; it is held to the limit of a line.
        std::size_t record_bytes = 0;
        for (const std::string& field : record.fields) {
            record_bytes += field.size();
        }
        if (record_bytes > Max_Exchange_Line_Bytes) {
            errors.Add(record.line, L(E_Long_Line) + std::to_string(Max_Exchange_Line_Bytes) + L(E_Bytes));
            return;
        }
        Table_Row row = missing_row;
        refused_here.clear();
        for (std::size_t i = 0; i < record.fields.size(); ++i) {
            std::string& raw = record.fields[i];
            if (i >= column_of.size()) {
                if (!Trim(raw).empty()) {
                    errors.Add(record.line, L(E_Line_Has) + std::to_string(record.fields.size()) + L(E_Fields_But) +
                                                std::to_string(column_of.size()) + L(E_Columns));
                    break;
                }
                continue;
            }
            const int column = column_of[i];
            if (column < 0) {
                continue;
            }
            if (column == 0) {
                if (!Trim(raw).empty()) {
                    errors.Add(record.line, L(E_Unnamed) + std::to_string(i + 1) + L(E_No_Name));
                }
                continue;
            }
            if (std::string error = Take_Value(table, column, raw); !error.empty()) {
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
                errors.Add(record.line, Title(table, 1) + L(E_Enable_Blank));
            }
        }
        if (mapped[static_cast<std::size_t>(key)] && Trim(row[static_cast<std::size_t>(key - 1)]).empty()) {
            errors.Add(record.line, Title(table, key) + L(E_Key_Blank));
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

    const std::vector<Csv_Syntax_Error> syntax =
        Read_Csv(prepared.text, prepared.separator, [&](Csv_Record& record) {
            if (Is_Blank_Record(record)) {
                return;
            }
            if (!header_line) {
                on_header(record);
            } else {
                on_data(record);
            }
        });
    Add_Syntax_Errors(syntax, errors, false, 0);
    if (!header_line && syntax.empty()) {
        errors.Add(0, L(E_Empty_File));
    }
    if (kept + data_rows > capacity) {
        std::string text = L(E_File_Holds) + std::to_string(data_rows);
        if (mode == Import_Mode::Append) {
            text += L(E_Already) + std::to_string(kept) + L(E_Room_After);
        } else {
            text += L(E_Room);
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

// ---- clipboard blocks ----

namespace {

// Why a block of height rows and width columns does not fit at (top_row, left_column); none when it fits.
std::vector<std::string> Block_Fit_Errors(Exchange_Table table, long height, long width, int top_row,
                                          int left_column) {
    const int capacity = Exchange_Capacity(table);
    const int fields = Exchange_Field_Count(table);
    std::vector<std::string> fit;
    if (top_row < 1 || top_row + height - 1 > capacity) {
        fit.push_back(L(E_Block_Has) + std::to_string(height) + L(E_Rows_From) + std::to_string(top_row) +
                      L(E_Room_For) + std::to_string(std::max(0, capacity - top_row + 1)));
    }
    const bool column_ok = left_column >= 1 && left_column <= fields;
    if (!column_ok || left_column + width - 1 > fields) {
        fit.push_back(L(E_Block_Has) + std::to_string(width) + L(E_Columns_From) +
                      (column_ok ? Title(table, left_column) : std::to_string(left_column)) + L(E_Room_For) +
                      std::to_string(column_ok ? fields - left_column + 1 : 0));
    }
    return fit;
}

// A paste must not put anything where no save keeps it: below the end of the list as it would
// stand after the paste, or into rows of the list that a blank key cell of the block would cut
// off. The message names the row whose blank key would end the list.
std::optional<std::string> Lost_Below_End(Exchange_Table table, const Table_Rows& current,
                                          const std::vector<std::vector<std::string>>& cells, int top_row,
                                          int left_column) {
    const int capacity = Exchange_Capacity(table);
    const int key = Exchange_Key_Column(table);
    const auto key_after = [&](int row) -> std::string_view {
        const int i = row - top_row;
        if (i >= 0 && i < static_cast<int>(cells.size())) {
            const std::vector<std::string>& line = cells[static_cast<std::size_t>(i)];
            const int j = key - left_column;
            if (j >= 0 && j < static_cast<int>(line.size())) {
                return line[static_cast<std::size_t>(j)];
            }
        }
        return row <= static_cast<int>(current.size()) ? Cell(current[static_cast<std::size_t>(row - 1)], key)
                                                        : std::string_view();
    };
    int end = 0; // the length of the list after the paste
    while (end < capacity && !Trim(key_after(end + 1)).empty()) {
        ++end;
    }
    bool lost = end < List_Length(current, key, capacity);
    for (std::size_t i = 0; i < cells.size() && !lost; ++i) {
        if (top_row + static_cast<int>(i) > end) {
            lost = std::any_of(cells[i].begin(), cells[i].end(), [](const std::string& c) { return !Trim(c).empty(); });
        }
    }
    if (!lost) {
        return std::nullopt;
    }
    return L(E_Row) + std::to_string(end + 1) + L(E_Comma) + Title(table, key) + L(E_Key_Blank);
}

std::string_view Without_Final_Line_Ends(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

Block_Paste Parse_Block(Exchange_Table table, std::string_view text, int top_row, int left_column,
                        const Table_Rows* current) {
    Block_Paste paste;
    Error_List errors;
    Prepared prepared = Prepare(text, errors, false);
    if (prepared.failed) {
        for (Exchange_Error& e : errors.Take()) {
            paste.errors.push_back(std::move(e.text));
        }
        return paste;
    }
    const auto finish = [&]() -> Block_Paste& {
        if (paste.errors.empty() && current != nullptr) {
            if (std::optional<std::string> lost = Lost_Below_End(table, *current, paste.cells, top_row, left_column)) {
                paste.errors.push_back(std::move(*lost));
            }
        }
        if (!paste.errors.empty()) {
            paste.cells.clear();
        }
        return paste;
    };
    // A certificate copied from a text editor is many lines without tabs or quotes: it belongs in
    // one cell, not in one row per line.
    if (table == Exchange_Table::Certificates && left_column == Cert_Col::Certificate &&
        Trim(prepared.text).starts_with("-----BEGIN") && prepared.text.find_first_of("\t\"") == std::string::npos) {
        std::string cell = std::move(prepared.text);
        if (const std::string error = Take_Value(table, left_column, cell); !error.empty()) {
            paste.errors.push_back(L(E_Row) + std::to_string(top_row) + L(E_Comma) + error);
        } else if (top_row < 1 || top_row > Cert_Rows) {
            paste.errors.push_back(L(E_Block_Has) + "1" + L(E_Rows_From) + std::to_string(top_row) + L(E_Room_For) + "0");
        } else {
            paste.cells.push_back({std::move(cell)});
        }
        return finish();
    }
    // Counted before a cell is stored: a huge block of tabs would otherwise become millions of texts.
    const std::string_view body = Without_Final_Line_Ends(prepared.text);
    if (body.empty()) {
        paste.errors.push_back(L(E_Empty_Clipboard));
        return paste;
    }
    const Csv_Shape shape = Measure_Csv(body, '\t');
    if (std::vector<std::string> fit = Block_Fit_Errors(table, shape.rows, shape.widest, top_row, left_column);
        !fit.empty()) {
        paste.errors = std::move(fit);
        return paste;
    }
    std::vector<Csv_Record> records;
    const std::vector<Csv_Syntax_Error> syntax =
        Read_Csv(prepared.text, '\t', [&](Csv_Record& record) { records.push_back(std::move(record)); });
    Add_Syntax_Errors(syntax, errors, true, top_row);
    // The line end after the last row is not another row; an empty line inside is one empty cell.
    while (!records.empty() && records.back().fields.empty()) {
        records.pop_back();
    }
    for (Csv_Record& record : records) {
        if (record.fields.empty()) {
            record.fields.emplace_back();
        }
    }
    if (records.empty() && syntax.empty()) {
        paste.errors.push_back(L(E_Empty_Clipboard));
        return paste;
    }
    const int height = static_cast<int>(records.size());
    std::size_t width = 0;
    for (const Csv_Record& record : records) {
        width = std::max(width, record.fields.size());
    }
    if (std::vector<std::string> fit = Block_Fit_Errors(table, height, static_cast<long>(width), top_row, left_column);
        !fit.empty()) {
        paste.errors = std::move(fit);
        return paste;
    }
    for (int i = 0; i < height; ++i) {
        std::vector<std::string> line;
        const std::vector<std::string>& cells = records[static_cast<std::size_t>(i)].fields;
        for (std::size_t j = 0; j < cells.size(); ++j) {
            const int column = left_column + static_cast<int>(j);
            std::string cell = cells[j];
            if (const std::string error = Take_Value(table, column, cell); !error.empty()) {
                errors.Add(0, L(E_Row) + std::to_string(top_row + i) + L(E_Comma) + error);
            }
            line.push_back(std::move(cell));
        }
        paste.cells.push_back(std::move(line));
    }
    for (Exchange_Error& e : errors.Take()) {
        paste.errors.push_back(std::move(e.text));
    }
    return finish();
}

// ---- files ----

std::optional<std::string> Read_Exchange_File(const std::string& path, std::string& bytes) {
    bytes.clear();
    if (Dir_Exists(path)) {
        return L(E_Folder);
    }
    if (!File_Exists(path)) {
        return L(E_Cannot_Read) + L(E_No_Such_File);
    }
    const Io_Result read = Read_File(path, bytes, Max_Exchange_File_Bytes);
    if (!read) {
        // Size first: the reader refuses a large file before reading a byte of it.
        if (read.error == Io_Error::Too_Large) {
            return L(E_Too_Large) + std::to_string(Max_Exchange_File_Bytes) + L(E_Bytes);
        }
        const std::string prefix = path + ": ";
        return L(E_Cannot_Read) + (read.message.starts_with(prefix) ? read.message.substr(prefix.size()) : read.message);
    }
    return std::nullopt;
}

Configuration_Table Read_Configuration_Table(const std::string& folder, Exchange_Table table) {
    Configuration_Table t;
    t.xml_path = Path_Join(folder, Exchange_File_Name(table));
    switch (table) {
    case Exchange_Table::S7_Read:
    case Exchange_Table::S7_Write: {
        S7_Protocol_Read_Result read = Read_S7_Protocol_File(t.xml_path);
        const bool is_read = table == Exchange_Table::S7_Read;
        t.rows = std::move(is_read ? read.data.Read : read.data.Write);
        t.other_list = std::move(is_read ? read.data.Write : read.data.Read);
        t.info = std::move(read.info);
        break;
    }
    case Exchange_Table::Variables: {
        Table_Read_Result read = Read_IEC61850_Variables_File(t.xml_path);
        t.rows = std::move(read.rows);
        t.info = std::move(read.info);
        break;
    }
    case Exchange_Table::Certificates: {
        Table_Read_Result read = Read_TLS_Known_Cert_File(t.xml_path);
        t.rows = std::move(read.rows);
        t.info = std::move(read.info);
        break;
    }
    }
    return t;
}

Configuration_Import Import_Into_Configuration(const std::string& folder, Exchange_Table table, std::string_view bytes,
                                               Import_Mode mode, char decimal_separator,
                                               const std::function<void()>& before_write) {
    Configuration_Import out;
    const File_Stamp read_stamp = Stamp_File(Path_Join(folder, Exchange_File_Name(table)));
    out.before = Read_Configuration_Table(folder, table);
    // A list read only in part would be saved without what could not be read: refused, as export
    // refuses it. (The windows open such a file and keep a copy of it when they save.)
    if (out.before.info.status == Xml_Load_Status::Unreadable || !out.before.info.complete) {
        out.unreadable = true;
        return out;
    }
    out.result = Import_Table(table, bytes, mode, out.before.rows, out.before.other_list, decimal_separator);
    // (the other list is copied into the check: it is saved below as it was read)
    if (!out.result.ok() || (mode == Import_Mode::Append && out.result.imported == 0)) {
        return out;
    }
    const std::string& path = out.before.xml_path;
    if (before_write) {
        before_write();
    }
    if (Stamp_File(path) != read_stamp) {
        out.changed_meanwhile = true;
        return out;
    }
    switch (table) {
    case Exchange_Table::S7_Read:
    case Exchange_Table::S7_Write: {
        // The lists are lent to the writer, not copied: 1024 rules are 20 000 texts.
        const bool is_read = table == Exchange_Table::S7_Read;
        S7_Protocol_Data data;
        (is_read ? data.Read : data.Write).swap(out.result.rows);
        (is_read ? data.Write : data.Read).swap(out.before.other_list);
        out.saved = Save_S7_Protocol_File(path, data, false);
        (is_read ? data.Read : data.Write).swap(out.result.rows);
        (is_read ? data.Write : data.Read).swap(out.before.other_list);
        break;
    }
    case Exchange_Table::Variables:
        out.saved = Save_IEC61850_Variables_File(path, out.result.rows, false);
        break;
    case Exchange_Table::Certificates:
        out.saved = Save_TLS_Known_Cert_File(path, out.result.rows, false);
        break;
    }
    out.written = out.saved.ok;
    return out;
}

} // namespace qm
