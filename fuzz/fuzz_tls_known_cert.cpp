// TLS_Known_Cert.xml of any bytes through the certificates editor: read, written, read again.

#include <cstdint>

#include "fuzz_support.h"
#include "table_round_trip.h"
#include "tables/tls_known_cert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qm::fuzz;
    const std::string name = "TLS_Known_Cert.xml";
    const qm::Table_Read_Result first = qm::Read_TLS_Known_Cert_Text(As_Text(data, size), name);
    Require_Named(first.info, name);
    Require(first.rows.size() == qm::Cert_Rows, "table not full size");
    for (const qm::Table_Row& row : first.rows) {
        Require(row[0] == "Y" || row[0] == "N", "an Enable cell is neither Y nor N", row[0]);
    }

    pugi::xml_document doc;
    qm::Write_TLS_Known_Cert_Xml(first.rows, doc);
    const qm::Table_Read_Result second = qm::Read_TLS_Known_Cert_Text(qm::Xml_To_String(doc), name);
    Require(second.info.complete, "the written file does not read back completely", second.info.Message());
    Require_Same_List(first.rows, second.rows, qm::Cert_Col::Certificate, qm::Cert_Rows, "certificates");
    return 0;
}
