#include "tables/tls_known_cert.h"

#include "tables/table_xml.h"

namespace qm {

Table_Rows Reset_TLS_Known_Cert() {
    return Reset_Table(Cert_Rows, Cert_Col::Col_Count);
}

namespace {

constexpr const char* Root_Name = "TLS_Server_Known_Cert";
constexpr const char* Version_Comment = "SW_VERSION = 1.000";

Table_Read_Result Read_From(Table_Xml& x) {
    Table_Read_Result result{Reset_TLS_Known_Cert(), {}};
    if (const pugi::xml_node root = Root_Element(x)) {
        const std::vector<pugi::xml_node> rows = Row_Elements(x, root, Cert_Rows);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            Table_Row& cells = result.rows[i];
            // Only an explicit "N" unchecks; missing, empty or anything else stays checked.
            cells[0] = std::string_view(rows[i].attribute("Enable").value()) == "N" ? "N" : "Y";
            cells[1] = rows[i].attribute("Certificate").value();
            cells[2] = rows[i].attribute("Mnemonic").value();
        }
    }
    result.info = std::move(x.info);
    return result;
}

} // namespace

Table_Read_Result Read_TLS_Known_Cert_File(const std::string& path) {
    Table_Xml x;
    Load_Table_Xml(path, x);
    return Read_From(x);
}

Table_Read_Result Read_TLS_Known_Cert_Text(std::string_view text, const std::string& name) {
    Table_Xml x;
    Load_Table_Xml_Text(text, name, x);
    return Read_From(x);
}

void Write_TLS_Known_Cert_Xml(const Table_Rows& rows, pugi::xml_document& doc) {
    doc.reset();
    pugi::xml_node root = doc.append_child(Root_Name);
    doc.append_child(pugi::node_comment).set_value(Version_Comment);
    const int n = List_Length(rows, Cert_Col::Certificate, Cert_Rows);
    for (int i = 0; i < n; ++i) {
        const Table_Row& cells = rows[static_cast<std::size_t>(i)];
        pugi::xml_node row = root.append_child("row");
        row.append_attribute("Enable").set_value(Cell(cells, Cert_Col::Enable) == "Y" ? "Y" : "N");
        const std::string_view certificate = Cell(cells, Cert_Col::Certificate);
        row.append_attribute("Certificate").set_value(certificate.data(), certificate.size());
        const std::string_view mnemonic = Cell(cells, Cert_Col::Mnemonic);
        row.append_attribute("Mnemonic").set_value(mnemonic.data(), mnemonic.size());
    }
}

Table_Save_Result Save_TLS_Known_Cert_File(const std::string& path, const Table_Rows& rows, bool keep_backup) {
    pugi::xml_document doc;
    Write_TLS_Known_Cert_Xml(rows, doc);
    return Save_Table_File(doc, path, keep_backup);
}

} // namespace qm
