// The exchange's column and value rules: titles, check-box words, list items, positions,
// text marks for spreadsheets, and the names of the four tables.
#include "tables/exchange_rules.h"

#include <array>

#include "common/conversions.h"
#include "language/lang_table.h"

namespace qm {

namespace exchange_rules {

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
    return title() + L(et::Value) + Shown(cell) + L(et::Not_Position) + std::to_string(size - 1);
}

// Turns a cell as the file holds it into the value to store, in place; the message (title
// first) why the column cannot take it, or an empty text. A refused cell is left as it was.
std::string Take_Value(Exchange_Table table, int column, std::string& cell, bool text_marks) {
    const Column_Layout& layout = Column_Of(table, column);
    // Only a refused value needs the title: a file of 512 rules takes ten thousand values.
    const auto title = [&] { return Title(table, column); };
    if (text_marks) {
        Remove_Text_Mark(cell);
    }
    if (const long code = Forbidden_Character(cell); code >= 0) {
        return title() + L(et::Control) + std::to_string(code) + L(et::Control_End);
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
                return title() + L(et::Enable_Blank);
            }
            cell.clear();
            return {};
        }
        if (const std::optional<bool> on = Check_Word(trimmed)) {
            cell = *on ? "Y" : "N";
            return {};
        }
        return title() + L(et::Value) + Shown(cell) + L(et::Not_Check);
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
        return title() + L(et::Value) + Shown(cell) + L(et::Not_Item) + Joined(*layout.items);
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

} // namespace exchange_rules

using namespace exchange_rules;

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
    return With_Place(false, line, text);
}

std::string With_Place(bool sheet_row, int line, const std::string& text) {
    if (line <= 0) {
        return text;
    }
    return L(sheet_row ? et::Row : et::Line) + std::to_string(line) + L(et::Colon) + text;
}

} // namespace qm
