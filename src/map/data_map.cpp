#include "map/data_map.h"

#include <algorithm>
#include <array>

#include "common/conversions.h"
#include "common/file_io.h"
#include "image/image_xml.h"
#include "image/s7_rule_table.h"
#include "language/lang_table.h"
#include "map/map_texts.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"

namespace qm {
namespace {

namespace mt = map_text;

// The columns of a rule that the map reads; the two lists differ only in where they sit.
struct Rule_Columns {
    int enable;
    int data_type;
    int position;
    int bit;
};
constexpr Rule_Columns Read_Columns = {S7_Read_Col::Enable, S7_Read_Col::Data_Type, S7_Read_Col::Position,
                                       S7_Read_Col::Bit};
constexpr Rule_Columns Write_Columns = {S7_Write_Col::Enable, S7_Write_Col::Data_Type, S7_Write_Col::Position,
                                        S7_Write_Col::Bit};

// Bytes of a value of the builder's data type code; 0 for a Bit rule.
int Type_Size(std::uint8_t code) {
    switch (code) {
    case 2: case 3: return 1; // Byte, Char
    case 4: case 5: return 2; // Word, Int
    case 6: case 7: case 8: return 4; // DWord, DInt, Real
    default: return 0;
    }
}

// A typed number the map can place: an integer from min, or a note that leaves the row out.
bool Map_Number(const Table_Row& row, int column, std::int64_t min, std::int64_t max, Map_List list, int number,
                std::vector<Map_Note>& notes, std::int64_t& value) {
    const std::string_view text = Cell(row, column);
    if (Text_To_Wide_Int(text, value) && value >= min && value <= max) {
        return true;
    }
    notes.push_back({list, number, column, std::string(text), true});
    return false;
}

void Map_Rules(const Table_Rows& rows, const Rule_Columns& col, Map_List list, std::vector<Map_Span>& spans,
               std::vector<Map_Note>& notes) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Table_Row& row = rows[r];
        if (!Build_Takes(Cell(row, col.enable))) continue;
        const int number = static_cast<int>(r + 1);
        const std::string_view type = Cell(row, col.data_type);
        const int size = Type_Size(S7_Data_Type_Code(type));
        if (size == 0 && type != "Bit") {
            notes.push_back({list, number, col.data_type, std::string(type), false});
        }
        Map_Span span;
        span.row = number;
        if (!Map_Number(row, col.position, 0, Wide_Int_Limit, list, number, notes, span.first)) continue;
        if (size == 0) {
            std::int64_t bit = 0;
            if (!Map_Number(row, col.bit, 0, 7, list, number, notes, bit)) continue;
            span.bit = static_cast<int>(bit);
            span.last = span.first;
        } else {
            span.last = span.first + size - 1;
        }
        spans.push_back(span);
    }
}

void Map_Variables(const Table_Rows& rows, std::vector<Map_Span>& spans, std::vector<Map_Note>& notes) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Table_Row& row = rows[r];
        if (!Build_Takes(Cell(row, Var_Col::Enable))) continue;
        const int number = static_cast<int>(r + 1);
        Map_Span span;
        span.row = number;
        // Compared as the builder compares them.
        span.read_only = Upper_Ascii(Trim(Cell(row, Var_Col::ReadOnly))) == "Y";
        const bool digital = Upper_Ascii(Trim(Cell(row, Var_Col::Type))) == "DIGITAL (BIT)";
        const Map_List list = Map_List::Variables;
        if (!Map_Number(row, Var_Col::Position, 0, Wide_Int_Limit, list, number, notes, span.first)) continue;
        if (digital) {
            std::int64_t bit = 0;
            if (!Map_Number(row, Var_Col::StartBit, 0, 7, list, number, notes, bit)) continue;
            span.bit = static_cast<int>(bit);
            span.last = span.first;
        } else {
            std::int64_t length = 0;
            if (!Map_Number(row, Var_Col::Length, 1, Wide_Int_Limit, list, number, notes, length)) continue;
            span.last = span.first + length - 1;
        }
        spans.push_back(span);
    }
}

void Find_Past_End(const std::vector<Map_Span>& spans, Map_List list, std::int64_t size,
                   std::vector<Map_Finding>& findings) {
    for (const Map_Span& s : spans) {
        if (s.last >= size) {
            findings.push_back({Finding_Kind::Past_End, list, {s.row}, s.first, s.last, s.bit, {}});
        }
    }
}

// Pairs of read rules sharing a byte of the array; two Bit rules only on the same bit.
void Find_Overlaps(const std::vector<Map_Span>& spans, std::vector<Map_Finding>& findings) {
    std::vector<const Map_Span*> inside;
    inside.reserve(spans.size());
    for (const Map_Span& s : spans) {
        if (s.first < NByte_IN) inside.push_back(&s);
    }
    std::stable_sort(inside.begin(), inside.end(),
                     [](const Map_Span* a, const Map_Span* b) { return a->first < b->first; });
    for (std::size_t i = 0; i < inside.size(); ++i) {
        const Map_Span& a = *inside[i];
        const std::int64_t a_last = std::min<std::int64_t>(a.last, NByte_IN - 1);
        for (std::size_t j = i + 1; j < inside.size() && inside[j]->first <= a_last; ++j) {
            const Map_Span& b = *inside[j];
            if (a.bit >= 0 && b.bit >= 0 && a.bit != b.bit) continue;
            const std::int64_t last = std::min<std::int64_t>({a_last, b.last});
            findings.push_back({Finding_Kind::Overlap, Map_List::S7_Read, {std::min(a.row, b.row), std::max(a.row, b.row)},
                                b.first, last, std::max(a.bit, b.bit), {}});
        }
    }
}

// Bits of each byte of the data array that some enabled read rule fills.
std::vector<std::uint8_t> Fed_Bits(const std::vector<Map_Span>& spans) {
    std::vector<std::uint8_t> fed(NByte_IN, 0);
    for (const Map_Span& s : spans) {
        if (s.first >= NByte_IN) continue;
        if (s.bit >= 0) {
            fed[static_cast<std::size_t>(s.first)] |= static_cast<std::uint8_t>(1U << s.bit);
            continue;
        }
        const std::int64_t last = std::min<std::int64_t>(s.last, NByte_IN - 1);
        for (std::int64_t b = s.first; b <= last; ++b) fed[static_cast<std::size_t>(b)] = 0xFF;
    }
    return fed;
}

// A read-only variable with a byte that no read rule touches, or a bit that none fills. The
// bytes past the array are never filled.
void Find_Unfed(const std::vector<Map_Span>& variables, const std::vector<std::uint8_t>& fed,
                std::vector<Map_Finding>& findings) {
    const auto filled = [&fed](std::int64_t byte, int bit) {
        if (byte >= NByte_IN) return false;
        const std::uint8_t bits = fed[static_cast<std::size_t>(byte)];
        return bit >= 0 ? (bits & (1U << bit)) != 0 : bits != 0;
    };
    for (const Map_Span& v : variables) {
        if (!v.read_only) continue;
        std::int64_t first = -1;
        std::int64_t last = -1;
        const std::int64_t inside_last = std::min<std::int64_t>(v.last, NByte_IN - 1);
        for (std::int64_t b = v.first; b <= inside_last; ++b) {
            if (!filled(b, v.bit)) {
                if (first < 0) first = b;
                last = b;
            }
        }
        if (v.last >= NByte_IN) {
            if (first < 0) first = std::max<std::int64_t>(v.first, NByte_IN);
            last = v.last;
        }
        if (first >= 0) {
            findings.push_back({Finding_Kind::Unfed, Map_List::Variables, {v.row}, first, last, v.bit, {}});
        }
    }
}

// A variable of whole bytes that cuts a read rule or spans several: it shows parts of values.
// A Digital (Bit) variable reading one bit of a wider rule is the usual way to show a status bit,
// and Bit rules pack bits on purpose, so neither counts.
void Find_Size_Mismatch(const std::vector<Map_Span>& variables, const std::vector<Map_Span>& rules,
                        std::vector<Map_Finding>& findings) {
    for (const Map_Span& v : variables) {
        if (v.bit >= 0) continue;
        std::vector<int> met;
        bool differs = false;
        for (const Map_Span& r : rules) {
            if (r.bit >= 0 || r.last < v.first || r.first > v.last) continue;
            met.push_back(r.row);
            differs = differs || r.first != v.first || r.last != v.last;
        }
        if (differs) {
            std::sort(met.begin(), met.end());
            findings.push_back({Finding_Kind::Size_Mismatch, Map_List::Variables, {v.row}, v.first, v.last, -1, met});
        }
    }
}

// The row number with its Mnemonic or Name when it has one: 3 "Oven temperature".
std::string Row_Named(Map_List list, int row, const Table_Rows* rows) {
    std::string label = std::to_string(row);
    if (rows != nullptr && row >= 1 && static_cast<std::size_t>(row) <= rows->size()) {
        const Table_Row& r = (*rows)[static_cast<std::size_t>(row - 1)];
        const int column = list == Map_List::Variables  ? int{Var_Col::Name}
                           : list == Map_List::S7_Write ? int{S7_Write_Col::Mnemonic}
                                                        : int{S7_Read_Col::Mnemonic};
        const std::string_view name = Trim(Cell(r, column));
        if (!name.empty()) label += " \"" + std::string(name) + "\"";
    }
    return label;
}

std::string Row_Label(Map_List list, int row, const Table_Rows* rows) {
    const int entry = list == Map_List::S7_Read ? mt::Read_Rule : list == Map_List::S7_Write ? mt::Write_Rule : mt::Variable;
    return Lang(entry) + Row_Named(list, row, rows);
}

// "4", "4 and 5", "4, 5 and 6".
std::string Row_List(const std::vector<int>& rows) {
    std::string out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) out += i + 1 == rows.size() ? Lang(mt::And) : std::string(", ");
        out += std::to_string(rows[i]);
    }
    return out;
}

int Header_Entry(Map_List list, int column) {
    if (list == Map_List::Variables) {
        return column == Var_Col::Length ? 1518 : column == Var_Col::Position ? 1520 : 1532;
    }
    const Rule_Columns& c = list == Map_List::S7_Read ? Read_Columns : Write_Columns;
    const bool read = list == Map_List::S7_Read;
    if (column == c.data_type) return read ? 1221 : 1234;
    if (column == c.position) return read ? 1224 : 1239;
    return read ? 1225 : 1240;
}

} // namespace

Data_Map Compute_Data_Map(const Table_Rows& read, const Table_Rows& write, const Table_Rows& variables) {
    Data_Map map;
    Map_Rules(read, Read_Columns, Map_List::S7_Read, map.read, map.notes);
    Map_Rules(write, Write_Columns, Map_List::S7_Write, map.write, map.notes);
    Map_Variables(variables, map.variables, map.notes);
    Find_Past_End(map.read, Map_List::S7_Read, NByte_IN, map.findings);
    Find_Past_End(map.write, Map_List::S7_Write, NByte_OUT, map.findings);
    Find_Overlaps(map.read, map.findings);
    Find_Unfed(map.variables, Fed_Bits(map.read), map.findings);
    Find_Size_Mismatch(map.variables, map.read, map.findings);
    return map;
}

Map_Lists Read_Map_Lists(const std::string& folder) {
    Map_Lists lists;
    pugi::xml_document doc;
    bool present = false;
    if (const Build_Result loaded = Load_Build_Input(Path_Join(folder, "S7_Protocol.xml"), doc, present); !loaded) {
        lists.problems.push_back(loaded.message);
    } else {
        lists.read = Build_List_Rows(doc, Build_List::S7_Read, S7_Read_Attributes);
        lists.write = Build_List_Rows(doc, Build_List::S7_Write, S7_Write_Attributes);
    }
    if (const Build_Result loaded = Load_Build_Input(Path_Join(folder, "IEC61850_Variables.xml"), doc, present);
        !loaded) {
        lists.problems.push_back(loaded.message);
    } else {
        lists.variables = Build_List_Rows(doc, Build_List::Variables, Variable_Attributes);
    }
    return lists;
}

std::vector<Byte_Use> Data_Array_Use(const Data_Map& map) {
    std::vector<Byte_Use> use(NByte_IN);
    const auto each_byte = [&use](std::int64_t first, std::int64_t last, auto&& action) {
        for (std::int64_t b = std::max<std::int64_t>(first, 0); b <= std::min<std::int64_t>(last, NByte_IN - 1); ++b) {
            action(use[static_cast<std::size_t>(b)]);
        }
    };
    for (const Map_Span& s : map.read) {
        each_byte(s.first, s.last, [&s](Byte_Use& u) {
            if (u.read_rules++ == 0) u.first_rule = s.row;
        });
    }
    for (const Map_Span& s : map.variables) {
        each_byte(s.first, s.last, [&s](Byte_Use& u) {
            if (u.variables++ == 0) u.first_variable = s.row;
        });
    }
    for (const Map_Finding& f : map.findings) {
        if (f.kind == Finding_Kind::Overlap) each_byte(f.first_byte, f.last_byte, [](Byte_Use& u) { u.conflict = true; });
        if (f.kind == Finding_Kind::Unfed) each_byte(f.first_byte, f.last_byte, [](Byte_Use& u) { u.unfed = true; });
    }
    return use;
}

Byte_Kind Kind_Of(const Byte_Use& use) {
    if (use.conflict) return Byte_Kind::Conflict;
    if (use.unfed) return Byte_Kind::Unfed;
    if (use.read_rules > 0 && use.variables > 0) return Byte_Kind::Both;
    if (use.read_rules > 0) return Byte_Kind::Read_Rule;
    if (use.variables > 0) return Byte_Kind::Variable;
    return Byte_Kind::Free;
}

std::uint32_t Byte_Colour(Byte_Kind kind) {
    switch (kind) {
    case Byte_Kind::Free: return 0xeeeeee;
    case Byte_Kind::Read_Rule: return 0x7fa8d8;
    case Byte_Kind::Variable: return 0xb8d88f;
    case Byte_Kind::Both: return 0x3f9f5f;
    case Byte_Kind::Conflict: return 0xd93030;
    case Byte_Kind::Unfed: return 0xf0961e;
    }
    return 0xffffff;
}

const Legend_Item Legend_Items[6] = {
    {Byte_Kind::Free, mt::Legend_Free},         {Byte_Kind::Read_Rule, mt::Legend_Read_Rule},
    {Byte_Kind::Variable, mt::Legend_Variable}, {Byte_Kind::Both, mt::Legend_Both},
    {Byte_Kind::Conflict, mt::Legend_Conflict}, {Byte_Kind::Unfed, mt::Legend_Unfed}};

const char* List_Key(Map_List list) {
    switch (list) {
    case Map_List::S7_Read: return "s7-read";
    case Map_List::S7_Write: return "s7-write";
    case Map_List::Variables: return "variables";
    }
    return "";
}

const char* Kind_Key(Finding_Kind kind) {
    switch (kind) {
    case Finding_Kind::Overlap: return "overlap";
    case Finding_Kind::Past_End: return "past-end";
    case Finding_Kind::Unfed: return "unfed";
    case Finding_Kind::Size_Mismatch: return "size-mismatch";
    }
    return "";
}

std::string Bytes_Text(std::int64_t first, std::int64_t last, int bit) {
    std::string text = first == last ? Lang(mt::Byte) + std::to_string(first)
                                     : Lang(mt::Bytes) + std::to_string(first) + Lang(mt::To) + std::to_string(last);
    if (bit >= 0) text += Lang(mt::Bit) + std::to_string(bit);
    return text;
}

std::string Finding_Text(const Map_Finding& f, const Table_Rows& read, const Table_Rows& write,
                         const Table_Rows& variables) {
    const std::string bytes = Bytes_Text(f.first_byte, f.last_byte, f.bit);
    const int row = f.rows.empty() ? 0 : f.rows.front();
    switch (f.kind) {
    case Finding_Kind::Overlap:
        return Lang(mt::Read_Rules) + Row_Named(Map_List::S7_Read, row, &read) + Lang(mt::And) +
               Row_Named(Map_List::S7_Read, f.rows.size() > 1 ? f.rows[1] : 0, &read) + Lang(mt::Both_Fill) + bytes;
    case Finding_Kind::Past_End:
        return Row_Label(f.list, row, f.list == Map_List::S7_Read ? &read : &write) + ", " + bytes +
               Lang(f.list == Map_List::S7_Write ? mt::Past_Write_End : mt::Past_Data_End);
    case Finding_Kind::Unfed:
        return Lang(mt::Read_Only_Variable) + Row_Named(Map_List::Variables, row, &variables) + ", " + bytes +
               Lang(mt::Unfed);
    case Finding_Kind::Size_Mismatch:
        return Row_Label(Map_List::Variables, row, &variables) + ", " + bytes + Lang(mt::Mismatch) +
               Lang(f.rule_rows.size() == 1 ? mt::Read_Rule : mt::Read_Rules) + Row_List(f.rule_rows);
    }
    return {};
}

std::string Finding_Line(const Map_Finding& f, const Table_Rows& read, const Table_Rows& write,
                         const Table_Rows& variables) {
    const int entry = f.kind == Finding_Kind::Overlap    ? mt::Kind_Overlap
                      : f.kind == Finding_Kind::Past_End ? mt::Kind_Past_End
                      : f.kind == Finding_Kind::Unfed    ? mt::Kind_Unfed
                                                         : mt::Kind_Size_Mismatch;
    return Lang(entry) + ": " + Finding_Text(f, read, write, variables);
}

Owner_Tables Owner_Rows(const Data_Map& map, const Table_Rows& read, const Table_Rows& write,
                        const Table_Rows& variables) {
    const auto meets = [](const Map_Span& a, const Map_Span& b) {
        return a.first <= b.last && b.first <= a.last && (a.bit < 0 || b.bit < 0 || a.bit == b.bit);
    };
    const auto by_position = [](std::vector<Map_Span> spans) {
        std::stable_sort(spans.begin(), spans.end(),
                         [](const Map_Span& a, const Map_Span& b) { return a.first < b.first; });
        return spans;
    };
    const auto bytes = [](const Map_Span& s) { return Bytes_Text(s.first, s.last, s.bit); };
    Owner_Tables tables;
    const std::vector<Map_Span> shown = by_position(map.variables);
    for (const Map_Span& rule : by_position(map.read)) {
        std::string by;
        for (const Map_Span& v : shown) {
            if (meets(rule, v)) by += (by.empty() ? "" : ", ") + Row_Label(Map_List::Variables, v.row, &variables);
        }
        tables.data.push_back({bytes(rule), Row_Label(Map_List::S7_Read, rule.row, &read), by, false});
    }
    for (const Map_Span& v : shown) {
        if (std::none_of(map.read.begin(), map.read.end(), [&](const Map_Span& r) { return meets(r, v); })) {
            tables.data.push_back({bytes(v), Row_Label(Map_List::Variables, v.row, &variables), {}, true});
        }
    }
    for (const Map_Span& rule : by_position(map.write)) {
        tables.write.push_back({bytes(rule), Row_Label(Map_List::S7_Write, rule.row, &write), {}, false});
    }
    return tables;
}

std::string Note_Text(const Map_Note& note) {
    return Row_Label(note.list, note.row, nullptr) + ": " + Lang(Header_Entry(note.list, note.column)) + " \"" +
           note.text + "\"" + Lang(note.left_out ? mt::Left_Out : mt::Taken_As_Bit);
}

} // namespace qm
