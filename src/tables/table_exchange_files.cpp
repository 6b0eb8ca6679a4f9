// The exchange's files: reading a file to import, and importing into a configuration's XML file.
#include "tables/exchange_rules.h"

#include <utility>

#include "common/file_io.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/tls_known_cert.h"
#include "tables/xlsx_texts.h"

namespace qm {

using namespace exchange_rules;

std::optional<std::string> Read_Exchange_File(const std::string& path, std::string& bytes) {
    return Read_Exchange_File(path, bytes, Max_Exchange_File_Bytes);
}

std::optional<std::string> Read_Exchange_File(const std::string& path, std::string& bytes, std::uint64_t max_bytes) {
    bytes.clear();
    if (Dir_Exists(path)) {
        return L(et::Folder);
    }
    if (!File_Exists(path)) {
        return L(et::Cannot_Read) + L(et::No_Such_File);
    }
    const Io_Result read = Read_File(path, bytes, max_bytes);
    if (!read) {
        // Size first: the reader refuses a large file before reading a byte of it.
        if (read.error == Io_Error::Too_Large) {
            return L(et::Too_Large) + std::to_string(max_bytes) + L(et::Bytes);
        }
        const std::string prefix = path + ": ";
        return L(et::Cannot_Read) + (read.message.starts_with(prefix) ? read.message.substr(prefix.size()) : read.message);
    }
    // A workbook is told by its bytes; a name that promises one and bytes that are none would
    // otherwise be read as CSV text and named by a puzzling first error.
    if (Is_Workbook_Path(path) && !bytes.starts_with("PK")) {
        bytes.clear();
        return L(Workbooks_Supported() ? xlsx_text::Not_Zip : xlsx_text::Not_Supported);
    }
    return std::nullopt;
}

Configuration_Table Read_Configuration_Table(const std::string& folder, Exchange_Table table) {
    Configuration_Table t;
    t.xml_path = Path_Join(folder, Exchange_File_Name(table));
    switch (table) {
    case Exchange_Table::S7_Read:
    case Exchange_Table::S7_Write: {
        S7_Protocol_Read_Result read = Read_S7_Protocol_File(t.xml_path);
        const bool is_read = table == Exchange_Table::S7_Read;
        t.rows = std::move(is_read ? read.data.Read : read.data.Write);
        t.other_list = std::move(is_read ? read.data.Write : read.data.Read);
        t.info = std::move(read.info);
        break;
    }
    case Exchange_Table::Variables: {
        Table_Read_Result read = Read_IEC61850_Variables_File(t.xml_path);
        t.rows = std::move(read.rows);
        t.info = std::move(read.info);
        break;
    }
    case Exchange_Table::Certificates: {
        Table_Read_Result read = Read_TLS_Known_Cert_File(t.xml_path);
        t.rows = std::move(read.rows);
        t.info = std::move(read.info);
        break;
    }
    }
    return t;
}

Configuration_Import Import_Into_Configuration(const std::string& folder, Exchange_Table table, std::string_view bytes,
                                               Import_Mode mode, char decimal_separator,
                                               const std::function<void()>& before_write) {
    Configuration_Import out;
    const File_Stamp read_stamp = Stamp_File(Path_Join(folder, Exchange_File_Name(table)));
    out.before = Read_Configuration_Table(folder, table);
    // A list read only in part would be saved without what could not be read: refused, as export
    // refuses it. (The windows open such a file and keep a copy of it when they save.)
    if (out.before.info.status == Xml_Load_Status::Unreadable || !out.before.info.complete) {
        out.unreadable = true;
        return out;
    }
    out.result = Import_Table(table, bytes, mode, out.before.rows, out.before.other_list, decimal_separator);
    // (the other list is copied into the check: it is saved below as it was read)
    if (!out.result.ok() || (mode == Import_Mode::Append && out.result.imported == 0)) {
        return out;
    }
    const std::string& path = out.before.xml_path;
    if (before_write) {
        before_write();
    }
    if (Stamp_File(path) != read_stamp) {
        out.changed_meanwhile = true;
        return out;
    }
    switch (table) {
    case Exchange_Table::S7_Read:
    case Exchange_Table::S7_Write: {
        // The lists are lent to the writer, not copied: 1024 rules are 20 000 texts.
        const bool is_read = table == Exchange_Table::S7_Read;
        S7_Protocol_Data data;
        (is_read ? data.Read : data.Write).swap(out.result.rows);
        (is_read ? data.Write : data.Read).swap(out.before.other_list);
        out.saved = Save_S7_Protocol_File(path, data, false);
        (is_read ? data.Read : data.Write).swap(out.result.rows);
        (is_read ? data.Write : data.Read).swap(out.before.other_list);
        break;
    }
    case Exchange_Table::Variables:
        out.saved = Save_IEC61850_Variables_File(path, out.result.rows, false);
        break;
    case Exchange_Table::Certificates:
        out.saved = Save_TLS_Known_Cert_File(path, out.result.rows, false);
        break;
    }
    out.written = out.saved.ok;
    return out;
}

} // namespace qm
