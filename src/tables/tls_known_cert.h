#pragma once
// The list of TLS client certificates the server accepts, and its file TLS_Known_Cert.xml.
// The list has nothing to check: any text is accepted as a certificate.

#include <array>
#include <string>
#include <string_view>

#include "tables/table_file.h"

namespace qm {

inline constexpr int Cert_Rows = 10; // data rows of ASG, 1 to 10

// Columns of ASG; column 0 is the row number. The Enable cell holds its check-box state as
// "Y" (checked) or "N" (unchecked).
struct Cert_Col {
    enum : int { Enable = 1, Certificate, Mnemonic, Col_Count };
};
static_assert(Cert_Col::Col_Count == 4);

extern const std::array<const char*, Cert_Col::Col_Count - 1> Cert_Attributes;

// 10 reset rows: checked, no certificate, no mnemonic.
Table_Rows Reset_TLS_Known_Cert();

// Reads the file into a reset table. Enable is unchecked only when its attribute is exactly
// "N"; a missing Certificate or Mnemonic stays empty.
Table_Read_Result Read_TLS_Known_Cert_File(const std::string& path);
Table_Read_Result Read_TLS_Known_Cert_Text(std::string_view text, const std::string& name);

// Rebuilds doc: root TLS_Server_Known_Cert, the version comment after it, one row per
// certificate up to the first blank Certificate. Enable is written "Y" only for a "Y" cell.
void Write_TLS_Known_Cert_Xml(const Table_Rows& rows, pugi::xml_document& doc);
// keep_backup: pass !info.complete of the read that filled the table.
Table_Save_Result Save_TLS_Known_Cert_File(const std::string& path, const Table_Rows& rows, bool keep_backup);

} // namespace qm
