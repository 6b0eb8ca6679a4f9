#pragma once
// The S7comm read and write rules, their file S7_Protocol.xml and their check.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/check_fault.h"
#include "tables/table_check.h"
#include "tables/table_file.h"

namespace qm {

inline constexpr int S7_Rows = 512; // data rows of each table, 1 to 512
inline constexpr int NByte_IN = 1500;  // internal data array of the read rules: Position 0..1499
inline constexpr int NByte_OUT = 1500; // the same for the write rules

// Columns of ACG_S7_Read; column 0 is the row number.
struct S7_Read_Col {
    enum : int {
        Enable = 1, PLC_Address, PLC_Port, PLC_Type, Rack, Slot, Data_Type, Data_Identifier, DB_Number,
        PLC_Area, PLC_Add, PLC_Bit, PollTime, Position, Bit, Swap, SwapWord, Mnemonic, Col_Count
    };
};
// Columns of ACG_S7_Write: the read columns up to PollTime, then the two write flags.
struct S7_Write_Col {
    enum : int {
        Enable = 1, PLC_Address, PLC_Port, PLC_Type, Rack, Slot, Data_Type, Data_Identifier, DB_Number,
        PLC_Area, PLC_Add, PLC_Bit, PollTime, OnChange, OnCMD, Position, Bit, Swap, SwapWord, Mnemonic, Col_Count
    };
};
static_assert(S7_Read_Col::Col_Count == 19 && S7_Write_Col::Col_Count == 21);

// Attribute names of a row, in the order they are written; item k belongs to column k + 1.
extern const std::array<const char*, S7_Read_Col::Col_Count - 1> S7_Read_Attributes;
extern const std::array<const char*, S7_Write_Col::Col_Count - 1> S7_Write_Attributes;

// Items of the drop-down columns; the image builder maps exactly these texts.
extern const std::vector<std::string> PLC_Type_Items;
extern const std::vector<std::string> Data_Type_Items;
extern const std::vector<std::string> Data_Identifier_Items;
extern const std::vector<std::string> PLC_Area_Items;
extern const std::vector<std::string> Bit_Items; // PLC Bit and Start Bit: "0" to "7"
// "0" to size - 1, the items of a Position column.
std::vector<std::string> Position_Items(int size);

struct S7_Protocol_Data {
    Table_Rows Read;  // rows of S7_Read_Col::Col_Count - 1 cells
    Table_Rows Write; // rows of S7_Write_Col::Col_Count - 1 cells
};

// Both tables freshly reset: 512 rows each, Enable "Y", every other cell empty.
S7_Protocol_Data Reset_S7_Protocol();

struct S7_Protocol_Read_Result {
    S7_Protocol_Data data; // always full size; what the file held, over reset rows
    Table_Read_Info info;
};

// Reads the file into reset tables. Missing Enable gives "Y", missing Rack and Slot "0"; any
// other missing attribute stops the reading there (that row and everything after stay reset)
// and is reported with the file, line, row and attribute.
S7_Protocol_Read_Result Read_S7_Protocol_File(const std::string& path);
S7_Protocol_Read_Result Read_S7_Protocol_Text(std::string_view text, const std::string& name);

// Rebuilds doc: root S7_Protocol, the version comment after it, both sections, one row per rule
// up to the first blank PLC Address of each list.
void Write_S7_Protocol_Xml(const S7_Protocol_Data& data, pugi::xml_document& doc);
// keep_backup: pass !info.complete of the read that filled the tables.
Table_Save_Result Save_S7_Protocol_File(const std::string& path, const S7_Protocol_Data& data, bool keep_backup);

// One PLC connection met during a check; IP1 == -1 marks a free entry.
struct TIPPort {
    std::int32_t IP1 = -1;
    std::int32_t IP2 = -1;
    std::int32_t IP3 = -1;
    std::int32_t IP4 = -1;
    std::int32_t Port = -1;
};
inline constexpr int S7_Max_Connections = 10;
using IP_Port_Array = std::array<TIPPort, S7_Max_Connections>;

// The index of the connection (a1.a2.a3.a4, port), registering it in the first free entry when
// new; -1 when every entry holds another connection.
int Check_IP_Port(IP_Port_Array& array_ip_Port, int a1, int a2, int a3, int a4, int port);

// Check_Fault::table of an S7comm fault.
inline constexpr int S7_Read_Table = 0;
inline constexpr int S7_Write_Table = 1;

// The first fault of the enabled rules, read list before write list, as the window's OK finds it.
std::optional<Check_Fault> Check_S7_Protocol(const S7_Protocol_Data& data, int nbyte_in = NByte_IN,
                                             int nbyte_out = NByte_OUT);
// The first failing check of every faulty enabled rule, in the same order; the first item is
// the one Check_S7_Protocol returns.
std::vector<Check_Fault> S7_Protocol_Faults(const S7_Protocol_Data& data, int nbyte_in = NByte_IN,
                                            int nbyte_out = NByte_OUT);
// Every failing check of every enabled rule with its column, in the same order, for marking the
// cells: a rule may have several. The first item is the one Check_S7_Protocol returns, and the
// rule that brings an eleventh connection has its PLC Address marked.
std::vector<Cell_Fault> S7_Protocol_Cell_Faults(const S7_Protocol_Data& data, int nbyte_in = NByte_IN,
                                                int nbyte_out = NByte_OUT);
// The numeric columns of the read or write table (S7_Read_Table, S7_Write_Table) and the range the
// check allows in each, nbyte bounding Position: what a duplicate may count up.
std::vector<Column_Range> S7_Count_Ranges(int table, int nbyte);

} // namespace qm
