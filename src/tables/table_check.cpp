#include "tables/table_check.h"

#include "language/lang_table.h"

namespace qm {

std::string Fault_Text(const Check_Fault& fault, Table_Check check) {
    const int prefix = check == Table_Check::S7_Protocol ? 1270 : 1529;
    return Lang(prefix) + std::to_string(fault.row) + Lang(fault.entry) + fault.suffix;
}

} // namespace qm
