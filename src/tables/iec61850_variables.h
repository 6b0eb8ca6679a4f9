#pragma once
// The IEC 61850 variable list, its file IEC61850_Variables.xml and its check.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/check_fault.h"
#include "tables/table_check.h"
#include "tables/table_file.h"

namespace qm {

inline constexpr int Variable_Rows = 50;        // data rows of ACG, 1 to 50
inline constexpr int Variables_NByte_IN = 1438; // internal data array: Position 0..1437

// Columns of ACG; column 0 is the row number.
struct Var_Col {
    enum : int {
        Enable = 1, Name, Type, Length, ReadOnly, Position, StartBit, Conversion, MultiplicationFactor, Swap,
        SwapWord, Mnemonic, Col_Count
    };
};
static_assert(Var_Col::Col_Count == 13);

// Attribute names of a row in the order they are written; item k belongs to column k + 1.
extern const std::array<const char*, Var_Col::Col_Count - 1> Variable_Attributes;

extern const std::vector<std::string> Variable_Type_Items;       // "Int", "Float", "Digital (Bit)"
extern const std::vector<std::string> Variable_Conversion_Items; // "None", "Int to Float", "Float to Int"
extern const std::vector<std::string> Variable_Factor_Items;     // "None"; the cell also takes free text
// Start Bit takes Bit_Items of s7_protocol.h: "0" to "7".

// 50 reset rows.
Table_Rows Reset_IEC61850_Variables();

// Reads the file into a reset table. A missing Enable gives "Y"; missing ReadOnly, Swap and
// SwapWord give "N"; any other missing attribute leaves its cell empty.
Table_Read_Result Read_IEC61850_Variables_File(const std::string& path);
Table_Read_Result Read_IEC61850_Variables_Text(std::string_view text, const std::string& name);

// Rebuilds doc: root IEC61850_Variables, the version comment after it, one row per variable up
// to the first blank Name.
void Write_IEC61850_Variables_Xml(const Table_Rows& rows, pugi::xml_document& doc);
// keep_backup: pass !info.complete of the read that filled the table.
Table_Save_Result Save_IEC61850_Variables_File(const std::string& path, const Table_Rows& rows, bool keep_backup);

// The first fault of the enabled variables, as the window's OK finds it. separator is the
// user's decimal separator (Get_Decimal_Separator), passed in so the result does not depend
// on the machine.
std::optional<Check_Fault> Check_IEC61850_Variables(const Table_Rows& rows, char separator,
                                                    int nbyte_in = Variables_NByte_IN);
// The first failing check of every faulty enabled variable, in row order.
std::vector<Check_Fault> IEC61850_Variables_Faults(const Table_Rows& rows, char separator,
                                                   int nbyte_in = Variables_NByte_IN);
// Every failing check of every enabled variable with its column, in the same order, for marking
// the cells; the first item is the one Check_IEC61850_Variables returns.
std::vector<Cell_Fault> IEC61850_Variables_Cell_Faults(const Table_Rows& rows, char separator,
                                                       int nbyte_in = Variables_NByte_IN);
// The numeric columns and the range the check allows in each: what a duplicate may count up.
std::vector<Column_Range> IEC61850_Count_Ranges(int nbyte_in = Variables_NByte_IN);

// Enabled variables of the list that share their Name (blanks around it ignored) with another
// enabled variable: the clients address variables by name, so one of them cannot be reached. A
// warning, not a fault: OK still saves. Each with the first other row of the same name.
struct Name_Clash {
    int row = 0;
    int other_row = 0;
};
std::vector<Name_Clash> IEC61850_Duplicate_Names(const Table_Rows& rows);

} // namespace qm
