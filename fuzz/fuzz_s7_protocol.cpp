// S7_Protocol.xml of any bytes through the S7comm editor: read, written, read again.

#include <cstdint>

#include "fuzz_support.h"
#include "table_round_trip.h"
#include "tables/s7_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qm::fuzz;
    const std::string name = "S7_Protocol.xml";
    const qm::S7_Protocol_Read_Result first = qm::Read_S7_Protocol_Text(As_Text(data, size), name);
    Require_Named(first.info, name);
    Require(first.data.Read.size() == qm::S7_Rows && first.data.Write.size() == qm::S7_Rows, "tables not full size");
    // The check runs on whatever was loaded; it may refuse, never crash.
    (void)qm::S7_Protocol_Faults(first.data);

    pugi::xml_document doc;
    qm::Write_S7_Protocol_Xml(first.data, doc);
    const std::string written = qm::Xml_To_String(doc);
    const qm::S7_Protocol_Read_Result second = qm::Read_S7_Protocol_Text(written, name);
    Require(second.info.complete, "the written file does not read back completely", second.info.Message());
    Require_Same_List(first.data.Read, second.data.Read, qm::S7_Read_Col::PLC_Address, qm::S7_Rows, "read rules");
    Require_Same_List(first.data.Write, second.data.Write, qm::S7_Write_Col::PLC_Address, qm::S7_Rows, "write rules");
    return 0;
}
