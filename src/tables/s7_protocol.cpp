#include "tables/s7_protocol.h"
#include "language/lang_table.h"

#include "common/conversions.h"
#include "tables/table_layout.h"
#include "tables/table_xml.h"

namespace qm {

const std::vector<std::string> PLC_Type_Items = {"Logo0BA8", "S7200", "S7300", "S7400", "S71200", "S71500"};
const std::vector<std::string> Data_Type_Items = {"Bit", "Byte", "Char", "Word", "Int", "DWord", "DInt", "Real"};
const std::vector<std::string> Data_Identifier_Items = {"OB", "DB", "SDB", "FC", "SFC", "FB", "SFB"};
const std::vector<std::string> PLC_Area_Items = {"Direct peripheral access (P)", "Inputs (I)", "Output (Q)",
                                                 "Flags (M) (Merker)"};
const std::vector<std::string> Bit_Items = {"0", "1", "2", "3", "4", "5", "6", "7"};

std::vector<std::string> Position_Items(int size) {
    std::vector<std::string> items;
    for (int i = 0; i < size; ++i) {
        items.push_back(std::to_string(i));
    }
    return items;
}

S7_Protocol_Data Reset_S7_Protocol() {
    return {Reset_Table(S7_Rows, S7_Read_Col::Col_Count), Reset_Table(S7_Rows, S7_Write_Col::Col_Count)};
}

namespace {

constexpr const char* Root_Name = "S7_Protocol";
constexpr const char* Read_Section = "S7_Protocol_Read";
constexpr const char* Write_Section = "S7_Protocol_Write";
constexpr const char* Version_Comment = "SW_VERSION = 1.003";

// Fills table from the first child of root named section_name; false when reading must stop,
// because the section is missing or one of its rows lacks a required attribute.
template <std::size_t N>
bool Read_Section_Rows(Table_Xml& x, pugi::xml_node root, const char* section_name,
                       const std::array<const char*, N>& attributes, Table_Rows& table) {
    const pugi::xml_node section = root.child(section_name);
    if (!section) {
        // A malformed file that broke off earlier has said so already.
        if (x.error_offset < 0) {
            Add_Problem(x.info, Where(x, root) + Lang(66) + section_name + Lang(67));
        }
        return false;
    }
    const std::vector<pugi::xml_node> rows = Row_Elements(x, section, S7_Rows);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Table_Row cells(N);
        for (std::size_t k = 0; k < N; ++k) {
            const std::string_view name = attributes[k];
            const pugi::xml_attribute attribute = rows[i].attribute(attributes[k]);
            if (attribute) {
                cells[k] = attribute.value();
            } else if (name == "Enable") {
                cells[k] = "Y";
            } else if (name == "Rack" || name == "Slot") {
                cells[k] = "0"; // files of earlier versions had neither
            } else {
                Add_Problem(x.info, Where(x, rows[i]) + Lang(68) + std::to_string(i + 1) + Lang(69) + section_name +
                                        Lang(70) + std::string(name) + Lang(71));
                return false;
            }
        }
        table[i] = std::move(cells);
    }
    return true;
}

S7_Protocol_Read_Result Read_From(Table_Xml& x) {
    S7_Protocol_Read_Result result{Reset_S7_Protocol(), {}};
    const pugi::xml_node root = Root_Element(x);
    if (root && Read_Section_Rows(x, root, Read_Section, S7_Read_Attributes, result.data.Read)) {
        Read_Section_Rows(x, root, Write_Section, S7_Write_Attributes, result.data.Write);
    }
    result.info = std::move(x.info);
    return result;
}

template <std::size_t N>
void Write_Section_Rows(pugi::xml_node section, const std::array<const char*, N>& attributes,
                        const Table_Rows& table) {
    const int n = List_Length(table, S7_Read_Col::PLC_Address, S7_Rows);
    for (int i = 0; i < n; ++i) {
        pugi::xml_node row = section.append_child("row");
        for (std::size_t k = 0; k < N; ++k) {
            const std::string_view text = Cell(table[static_cast<std::size_t>(i)], static_cast<int>(k) + 1);
            row.append_attribute(attributes[k]).set_value(text.data(), text.size());
        }
    }
}

} // namespace

S7_Protocol_Read_Result Read_S7_Protocol_File(const std::string& path) {
    Table_Xml x;
    Load_Table_Xml(path, x);
    return Read_From(x);
}

S7_Protocol_Read_Result Read_S7_Protocol_Text(std::string_view text, const std::string& name) {
    Table_Xml x;
    Load_Table_Xml_Text(text, name, x);
    return Read_From(x);
}

void Write_S7_Protocol_Xml(const S7_Protocol_Data& data, pugi::xml_document& doc) {
    doc.reset();
    pugi::xml_node root = doc.append_child(Root_Name);
    doc.append_child(pugi::node_comment).set_value(Version_Comment);
    Write_Section_Rows(root.append_child(Read_Section), S7_Read_Attributes, data.Read);
    Write_Section_Rows(root.append_child(Write_Section), S7_Write_Attributes, data.Write);
}

Table_Save_Result Save_S7_Protocol_File(const std::string& path, const S7_Protocol_Data& data, bool keep_backup) {
    pugi::xml_document doc;
    Write_S7_Protocol_Xml(data, doc);
    return Save_Table_File(doc, path, keep_backup);
}

// ---- the check ----

int Check_IP_Port(IP_Port_Array& array_ip_Port, int a1, int a2, int a3, int a4, int port) {
    for (int i = 0; i < S7_Max_Connections; ++i) {
        TIPPort& entry = array_ip_Port[static_cast<std::size_t>(i)];
        if (entry.IP1 == -1) {
            entry = {a1, a2, a3, a4, port};
            return i;
        }
        if (entry.IP1 == a1 && entry.IP2 == a2 && entry.IP3 == a3 && entry.IP4 == a4 && entry.Port == port) {
            return i;
        }
    }
    return -1;
}

namespace {

// What differs between the read and the write table.
struct S7_Table_Rules {
    int table;
    int position_column;
    int bit_column;
    int nbyte;
    // Message entries in the order of the row checks.
    int address, port, connection, type, rack, slot, data_type, identifier, db, area, add, plc_bit, poll,
        position, start_bit;
};

bool In_Range(std::string_view cell, int low, int high) {
    const int value = Text_To_Int(cell, -1);
    return value >= low && value <= high;
}

bool Filled(std::string_view cell) {
    return !Trim(cell).empty();
}

// The row checks of one enabled rule, in order. Every failing one is added to faults when every is
// set; otherwise the first ends the row. The connection is registered once address and port are
// good, also when a later check of the row fails, exactly as the first-fault walk does it.
void Check_Rule(const Table_Row& row, int r, const S7_Table_Rules& t, IP_Port_Array& array_ip_Port, bool every,
                std::vector<Cell_Fault>& faults) {
    using C = S7_Read_Col; // columns 1 to 13 are the same in both tables
    // True when the row's checks end here.
    auto fault = [&](int entry, int column, std::string suffix = {}) {
        const auto& names = t.table == S7_Read_Table ? S7_Read_Attributes.data() : S7_Write_Attributes.data();
        faults.push_back({Check_Fault{entry, r, std::move(suffix), names[column - 1], t.table}, column});
        return !every;
    };
    const Table_Layout& layout = Layout_Of(t.table == S7_Read_Table ? Table_Id::S7_Read : Table_Id::S7_Write);
    const auto in_range = [&](int column) {
        return In_Range(Cell(row, column), layout.Column(column).low, layout.Column(column).high);
    };
    const Ip_Bytes address = Split_IP_Address(Cell(row, C::PLC_Address));
    if (address.bad && fault(t.address, C::PLC_Address)) {
        return;
    }
    const bool port_ok = in_range(C::PLC_Port);
    if (!port_ok && fault(t.port, C::PLC_Port)) {
        return;
    }
    if (!address.bad && port_ok) {
        const int port = Text_To_Int(Cell(row, C::PLC_Port), -1);
        if (Check_IP_Port(array_ip_Port, address.bytes[0], address.bytes[1], address.bytes[2], address.bytes[3],
                          port) == -1 &&
            fault(t.connection, C::PLC_Address)) {
            return;
        }
    }
    if (!Filled(Cell(row, C::PLC_Type)) && fault(t.type, C::PLC_Type)) {
        return;
    }
    if (!in_range(C::Rack) && fault(t.rack, C::Rack)) {
        return;
    }
    if (!in_range(C::Slot) && fault(t.slot, C::Slot)) {
        return;
    }
    if (!Filled(Cell(row, C::Data_Type)) && fault(t.data_type, C::Data_Type)) {
        return;
    }
    if (!Filled(Cell(row, C::Data_Identifier)) && fault(t.identifier, C::Data_Identifier)) {
        return;
    }
    if (!in_range(C::DB_Number) && fault(t.db, C::DB_Number)) {
        return;
    }
    if (!Filled(Cell(row, C::PLC_Area)) && fault(t.area, C::PLC_Area)) {
        return;
    }
    if (!in_range(C::PLC_Add) && fault(t.add, C::PLC_Add)) {
        return;
    }
    if (!Filled(Cell(row, C::PLC_Bit)) && fault(t.plc_bit, C::PLC_Bit)) {
        return;
    }
    if (!in_range(C::PollTime) && fault(t.poll, C::PollTime)) {
        return;
    }
    if (!In_Range(Cell(row, t.position_column), 0, t.nbyte - 1) &&
        fault(t.position, t.position_column, std::to_string(t.nbyte - 1))) {
        return;
    }
    if (!Filled(Cell(row, t.bit_column))) {
        fault(t.start_bit, t.bit_column);
    }
}

// How far a walk over both lists goes.
enum class Check_Depth { First_Fault, First_Per_Row, Every_Cell };

// Walks both lists as the window's check does, read list first.
std::vector<Cell_Fault> Run_Check(const S7_Protocol_Data& data, int nbyte_in, int nbyte_out, Check_Depth depth) {
    const S7_Table_Rules read{S7_Read_Table, S7_Read_Col::Position, S7_Read_Col::Bit, nbyte_in,
                              1271, 1272, 1287, 1273, 1321, 1322, 1274, 1275, 1305, 1306, 1307, 1308, 1276, 1277, 1278};
    const S7_Table_Rules write{S7_Write_Table, S7_Write_Col::Position, S7_Write_Col::Bit, nbyte_out,
                               1279, 1280, 1288, 1281, 1323, 1324, 1282, 1283, 1309, 1310, 1311, 1312, 1284, 1285, 1286};
    // One connection table for both lists: the device has ten connections in all.
    IP_Port_Array array_ip_Port{};
    std::vector<Cell_Fault> faults;
    for (const auto& [table, rules] : {std::pair{&data.Read, &read}, std::pair{&data.Write, &write}}) {
        const int n = List_Length(*table, S7_Read_Col::PLC_Address, S7_Rows);
        for (int i = 0; i < n; ++i) {
            const Table_Row& row = (*table)[static_cast<std::size_t>(i)];
            if (Trim(Cell(row, S7_Read_Col::Enable)) != "Y") {
                continue;
            }
            Check_Rule(row, i + 1, *rules, array_ip_Port, depth == Check_Depth::Every_Cell, faults);
            if (depth == Check_Depth::First_Fault && !faults.empty()) {
                return faults;
            }
        }
    }
    return faults;
}

} // namespace

std::optional<Check_Fault> Check_S7_Protocol(const S7_Protocol_Data& data, int nbyte_in, int nbyte_out) {
    std::vector<Cell_Fault> faults = Run_Check(data, nbyte_in, nbyte_out, Check_Depth::First_Fault);
    if (faults.empty()) {
        return std::nullopt;
    }
    return std::move(faults.front().fault);
}

std::vector<Check_Fault> S7_Protocol_Faults(const S7_Protocol_Data& data, int nbyte_in, int nbyte_out) {
    std::vector<Check_Fault> faults;
    for (Cell_Fault& fault : Run_Check(data, nbyte_in, nbyte_out, Check_Depth::First_Per_Row)) {
        faults.push_back(std::move(fault.fault));
    }
    return faults;
}

std::vector<Cell_Fault> S7_Protocol_Cell_Faults(const S7_Protocol_Data& data, int nbyte_in, int nbyte_out) {
    return Run_Check(data, nbyte_in, nbyte_out, Check_Depth::Every_Cell);
}

std::vector<Column_Range> S7_Count_Ranges(int table, int nbyte) {
    return Count_Ranges(Layout_Of(table == S7_Write_Table ? Table_Id::S7_Write : Table_Id::S7_Read), nbyte);
}

} // namespace qm
