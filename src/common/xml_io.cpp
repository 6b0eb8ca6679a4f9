#include "common/xml_io.h"
#include "language/lang_strings.h"

#include <algorithm>
#include <memory>
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

namespace {

// pugixml's own wording of a parse failure, through the string table (entries 115 to 130 follow
// the order of its status codes).
std::string Parse_Status_Text(const pugi::xml_parse_result& parsed) {
    static_assert(pugi::status_file_not_found == 1 && pugi::status_no_document_element == 16);
    const int status = static_cast<int>(parsed.status);
    if (status >= pugi::status_file_not_found && status <= pugi::status_no_document_element) {
        return Lang(114 + status);
    }
    return parsed.description();
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
    message << name << Lang(54) << line << Lang(55) << column << " (" << Parse_Status_Text(parsed) << ")";
    return {Xml_Load_Status::Malformed, message.str(), parsed.offset};
}

Xml_Load_Result Load_Xml_File(const std::string& path, pugi::xml_document& doc) {
    doc.reset();
    if (!File_Exists(path)) {
        if (Dir_Exists(path)) {
            return {Xml_Load_Status::Unreadable, path + Lang(46)};
        }
        return {Xml_Load_Status::Missing, {}};
    }
    // The bytes are read straight into memory that the document then owns and parses in place:
    // load_buffer would copy them once more, which costs as much as a good part of the parse.
    const pugi::allocation_function allocate = pugi::get_memory_allocation_function();
    const pugi::deallocation_function deallocate = pugi::get_memory_deallocation_function();
    std::unique_ptr<char, pugi::deallocation_function> bytes(nullptr, deallocate);
    std::size_t size = 0;
    const Io_Result read = Read_File_Into(path, [&](std::size_t n) {
        bytes.reset(static_cast<char*>(allocate(std::max<std::size_t>(n, 1))));
        return bytes.get();
    }, size);
    if (!read) {
        return {Xml_Load_Status::Unreadable, read.message};
    }
    if (doc.load_buffer_inplace_own(bytes.release(), size, Parse_Options)) {
        return {};
    }
    // Parsing in place has overwritten the text, and the message needs it for the line and
    // column: read it again and report from a fresh parse, as for text from memory.
    std::string text;
    if (const Io_Result again = Read_File(path, text); !again) {
        doc.reset();
        return {Xml_Load_Status::Unreadable, again.message};
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
    // pugixml writes a carriage return in element text as it is, and every reader turns it into
    // a line feed (XML end-of-line handling), so a value would change on each save. Attribute
    // values already come escaped; the program writes no comment or CDATA holding one.
    std::string raw = out.str();
    if (raw.find('\r') == std::string::npos) {
        return raw;
    }
    std::string escaped;
    escaped.reserve(raw.size() + 16);
    for (const char c : raw) {
        if (c == '\r') {
            escaped += "&#13;";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

Io_Result Save_Xml_File(const pugi::xml_document& doc, const std::string& path) {
    return Write_File_Atomic(path, Xml_To_String(doc));
}

} // namespace qm
