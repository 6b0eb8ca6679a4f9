// IEC61850_Variables.xml of any bytes through the variables editor: read, written, read again.

#include <cstdint>

#include "fuzz_support.h"
#include "table_round_trip.h"
#include "tables/iec61850_variables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qm::fuzz;
    const std::string name = "IEC61850_Variables.xml";
    const qm::Table_Read_Result first = qm::Read_IEC61850_Variables_Text(As_Text(data, size), name);
    Require_Named(first.info, name);
    Require(first.rows.size() == qm::Variable_Rows, "table not full size");
    // The check runs on whatever was loaded; it may refuse, never crash.
    (void)qm::Check_IEC61850_Variables(first.rows, ',');

    pugi::xml_document doc;
    qm::Write_IEC61850_Variables_Xml(first.rows, doc);
    const qm::Table_Read_Result second = qm::Read_IEC61850_Variables_Text(qm::Xml_To_String(doc), name);
    Require(second.info.complete, "the written file does not read back completely", second.info.Message());
    Require_Same_List(first.rows, second.rows, qm::Var_Col::Name, qm::Variable_Rows, "variables");
    return 0;
}
