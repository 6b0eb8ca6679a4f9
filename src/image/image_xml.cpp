#include "image/image_xml.h"
#include "language/lang_table.h"

#include "common/xml_io.h"
#include "image/text_units.h"

namespace qm {

Build_Result Load_Build_Input(const std::string& path, pugi::xml_document& doc, bool& present) {
    const Xml_Load_Result loaded = Load_Xml_File(path, doc);
    present = loaded.status != Xml_Load_Status::Missing;
    if (loaded.ok() || loaded.status == Xml_Load_Status::Missing) {
        return {};
    }
    return {Build_Status::Unreadable_Input, loaded.message};
}

pugi::xml_node First_Element(const pugi::xml_node& parent, std::string_view name) {
    for (pugi::xml_node e = parent.first_child(); e; e = e.next_sibling()) {
        if (e.type() == pugi::node_element && name == e.name()) {
            return e;
        }
    }
    return {};
}

pugi::xml_node Build_List_Section(const pugi::xml_document& doc, Build_List list) {
    const pugi::xml_node root = First_Node(doc);
    switch (list) {
    case Build_List::S7_Read: return First_Element(root, "S7_Protocol_Read");
    case Build_List::S7_Write: return First_Element(root, "S7_Protocol_Write");
    case Build_List::Variables:
    case Build_List::Certificates: return root;
    }
    return {};
}

Build_Result Check_Utf8(std::string_view text, const std::string& file, const std::string& field) {
    const std::size_t bad = Find_Invalid_Utf8(text);
    if (bad == std::string_view::npos) {
        return {};
    }
    return {Build_Status::Unreadable_Input, file + ": " + field + Lang(82) + std::to_string(bad + 1) + Lang(83)};
}

} // namespace qm
