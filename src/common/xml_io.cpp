#include "common/xml_io.h"

#include <sstream>

namespace qm {
namespace {

constexpr unsigned Parse_Options = pugi::parse_default | pugi::parse_ws_pcdata_single |
                                   pugi::parse_comments | pugi::parse_pi;

// pugixml reports a byte offset; people want a line and a column.
void Line_Column(std::string_view text, std::ptrdiff_t offset, int& line, int& column) {
    line = 1;
    column = 1;
    const auto end = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, offset));
    for (std::size_t i = 0; i < end && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
}

} // namespace

Xml_Load_Result Load_Xml_Text(std::string_view text, const std::string& name, pugi::xml_document& doc) {
    doc.reset();
    const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size(), Parse_Options);
    if (parsed) {
        return {};
    }
    int line = 0;
    int column = 0;
    Line_Column(text, parsed.offset, line, column);
    std::ostringstream message;
    message << name << ": not well-formed XML at line " << line << ", column " << column << " ("
            << parsed.description() << ")";
    return {Xml_Load_Status::Malformed, message.str(), parsed.offset};
}

Xml_Load_Result Load_Xml_File(const std::string& path, pugi::xml_document& doc) {
    doc.reset();
    if (!File_Exists(path)) {
        if (Dir_Exists(path)) {
            return {Xml_Load_Status::Unreadable, path + ": is a folder, not a file"};
        }
        return {Xml_Load_Status::Missing, {}};
    }
    std::string text;
    const Io_Result read = Read_File(path, text);
    if (!read) {
        return {Xml_Load_Status::Unreadable, read.message};
    }
    return Load_Xml_Text(text, path, doc);
}

pugi::xml_node First_Node(const pugi::xml_document& doc) {
    for (pugi::xml_node node = doc.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_declaration) {
            return node;
        }
    }
    return {};
}

std::string Xml_To_String(const pugi::xml_document& doc) {
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

Io_Result Save_Xml_File(const pugi::xml_document& doc, const std::string& path) {
    return Write_File_Atomic(path, Xml_To_String(doc));
}

} // namespace qm
