#include "parameters/par_gen.h"
#include "language/lang_table.h"

#include "common/conversions.h"
#include "common/file_io.h"
#include "common/xml_io.h"

#include <optional>

namespace qm {
namespace {

constexpr const char* Root_Name = "Par_Gen";
constexpr const char* Version_Comment = "SW_VERSION = 1.000";

using K = Par_Kind;

// Indexed by Par_Id; the order is the file's.
constexpr std::array<Par_Def, Par_Count> Defs{{
    {"S7_Protocol_IP1", "E_S7_Protocol_IP1", K::Octet, "192"},
    {"S7_Protocol_IP2", "E_S7_Protocol_IP2", K::Octet, "168"},
    {"S7_Protocol_IP3", "E_S7_Protocol_IP3", K::Octet, "0"},
    {"S7_Protocol_IP4", "E_S7_Protocol_IP4", K::Octet, "5"},
    {"S7_Protocol_SM1", "E_S7_Protocol_SM1", K::Octet, "255"},
    {"S7_Protocol_SM2", "E_S7_Protocol_SM2", K::Octet, "255"},
    {"S7_Protocol_SM3", "E_S7_Protocol_SM3", K::Octet, "255"},
    {"S7_Protocol_SM4", "E_S7_Protocol_SM4", K::Octet, "0"},
    {"S7_Protocol_GAT1", "E_S7_Protocol_GAT1", K::Octet, "192"},
    {"S7_Protocol_GAT2", "E_S7_Protocol_GAT2", K::Octet, "168"},
    {"S7_Protocol_GAT3", "E_S7_Protocol_GAT3", K::Octet, "0"},
    {"S7_Protocol_GAT4", "E_S7_Protocol_GAT4", K::Octet, "1"},
    {"S7_Protocol_EN_GAT", "CB_S7_Protocol_En_GAT", K::Flag_Exact, "0"},
    {"IEC61850_Server_IP1", "E_IEC61850_Server_IP1", K::Octet, "192"},
    {"IEC61850_Server_IP2", "E_IEC61850_Server_IP2", K::Octet, "168"},
    {"IEC61850_Server_IP3", "E_IEC61850_Server_IP3", K::Octet, "0"},
    {"IEC61850_Server_IP4", "E_IEC61850_Server_IP4", K::Octet, "10"},
    {"IEC61850_Server_SM1", "E_IEC61850_Server_SM1", K::Octet, "255"},
    {"IEC61850_Server_SM2", "E_IEC61850_Server_SM2", K::Octet, "255"},
    {"IEC61850_Server_SM3", "E_IEC61850_Server_SM3", K::Octet, "255"},
    {"IEC61850_Server_SM4", "E_IEC61850_Server_SM4", K::Octet, "0"},
    {"IEC61850_Server_GAT1", "E_IEC61850_Server_GAT1", K::Octet, "192"},
    {"IEC61850_Server_GAT2", "E_IEC61850_Server_GAT2", K::Octet, "168"},
    {"IEC61850_Server_GAT3", "E_IEC61850_Server_GAT3", K::Octet, "0"},
    {"IEC61850_Server_GAT4", "E_IEC61850_Server_GAT4", K::Octet, "1"},
    {"IEC61850_Server_EN_GAT", "CB_IEC61850_Server_En_GAT", K::Flag_Exact, "0"},
    {"IEC61850_Server_DNS1", "E_IEC61850_Server_DNS1", K::Octet, "8"},
    {"IEC61850_Server_DNS2", "E_IEC61850_Server_DNS2", K::Octet, "8"},
    {"IEC61850_Server_DNS3", "E_IEC61850_Server_DNS3", K::Octet, "8"},
    {"IEC61850_Server_DNS4", "E_IEC61850_Server_DNS4", K::Octet, "8"},
    {"IEC61850_Server_EN_DNS", "CB_IEC61850_Server_En_DNS", K::Flag_Exact, "0"},
    {"IEC61850_Server_Port", "E_IEC61850_Server_Port", K::Port, "102"},
    {"IEC61850_Server_Password", "E_IEC61850_Server_Password", K::Text, ""},
    {"TLS_Server_Enable", "CB_TLS_Server_Enable", K::Flag_Integer, "0"},
    {"TLS_Server_Key", "E_TLS_Server_Key", K::Multi_Line_Text, ""},
    {"TLS_Server_Key_Password", "E_TLS_Server_Key_Pass", K::Text, ""},
    {"TLS_Server_Server_Certificate", "E_TLS_Server_Server_Cert", K::Multi_Line_Text, ""},
    {"TLS_Server_Root_Certificate", "E_TLS_Server_Root_Cert", K::Multi_Line_Text, ""},
    {"TLS_Server_Enable_Known_Cert", "CB_TLS_Server_En_Known_Cert", K::Flag_Integer, "0"},
    {"NTP_Server_URL", "E_NTP_Server_URL", K::Text, Default_NTP_Server},
    {"NTP_Poll_Time", "E_NTP_Poll_Time", K::Seconds, "1000"},
}};

constexpr std::array<Par_Id, Par_Count> Make_Ids() {
    std::array<Par_Id, Par_Count> ids{};
    for (int i = 0; i < Par_Count; ++i) {
        ids[static_cast<std::size_t>(i)] = static_cast<Par_Id>(i);
    }
    return ids;
}
constexpr std::array<Par_Id, Par_Count> Ids = Make_Ids();

// An element's text when it holds nothing or exactly one text or CDATA node; anything else
// (no element, child elements, mixed content) is not a value and leaves the default.
std::optional<std::string> Plain_Text(pugi::xml_node element) {
    if (!element) {
        return std::nullopt;
    }
    const pugi::xml_node first = element.first_child();
    if (!first) {
        return std::string();
    }
    if (first.next_sibling()) {
        return std::nullopt;
    }
    if (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata) {
        return std::string(first.value());
    }
    return std::nullopt;
}

bool Is_Utf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t more = 0;
        unsigned min = 0;
        unsigned code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0U) == 0xC0U) {
            more = 1;
            min = 0x80;
            code = c & 0x1FU;
        } else if ((c & 0xF0U) == 0xE0U) {
            more = 2;
            min = 0x800;
            code = c & 0x0FU;
        } else if ((c & 0xF8U) == 0xF0U) {
            more = 3;
            min = 0x10000;
            code = c & 0x07U;
        } else {
            return false;
        }
        if (i + more >= text.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= more; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0U) != 0x80U) {
                return false;
            }
            code = (code << 6U) | (d & 0x3FU);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += more + 1;
    }
    return true;
}

std::string Flag_Text(const Par_Def& def, const std::string& text) {
    const bool on = def.kind == Par_Kind::Flag_Exact ? text == "1" : Text_To_Int(text, 0) == 1;
    return on ? "1" : "0";
}

void Fill(const pugi::xml_document& doc, const std::string& name, Par_Gen_Read& read) {
    // Files written here always begin with Par_Gen, but the root is taken unchecked.
    const pugi::xml_node root = First_Node(doc);
    for (const Par_Id id : Ids) {
        const Par_Def& def = Par_Def_Of(id);
        std::optional<std::string> text = Plain_Text(root.type() == pugi::node_element ? root.child(def.element)
                                                                                       : pugi::xml_node());
        if (!text) {
            continue;
        }
        if (Is_Flag(def.kind)) {
            read.set[id] = Flag_Text(def, *text);
            continue;
        }
        if (!Is_Utf8(*text)) {
            // Shown as best the window can; the old file is kept before it is replaced.
            read.complete = false;
            if (!read.message.empty()) {
                read.message += '\n';
            }
            read.message += name + Lang(72) + def.element + Lang(73);
        }
        read.set[id] = std::move(*text);
    }
}

} // namespace

const Par_Def& Par_Def_Of(Par_Id id) {
    return Defs[static_cast<std::size_t>(id)];
}

const std::array<Par_Id, Par_Count>& All_Par_Ids() {
    return Ids;
}

Par_Gen_Set Par_Gen_Defaults() {
    Par_Gen_Set set;
    for (const Par_Id id : Ids) {
        set[id] = Par_Def_Of(id).default_text;
    }
    return set;
}

Par_Gen_Read Read_Par_Gen_Text(std::string_view text, const std::string& name) {
    Par_Gen_Read read;
    read.set = Par_Gen_Defaults();
    read.file_found = true;
    pugi::xml_document doc;
    const Xml_Load_Result load = Load_Xml_Text(text, name, doc);
    if (!load.ok()) {
        read.complete = false;
        read.message = load.message;
    }
    // pugixml keeps the nodes parsed before a fault, so those values survive.
    Fill(doc, name, read);
    return read;
}

Par_Gen_Read Read_Par_Gen(const std::string& path) {
    Par_Gen_Read read;
    read.set = Par_Gen_Defaults();
    pugi::xml_document doc;
    const Xml_Load_Result load = Load_Xml_File(path, doc);
    switch (load.status) {
    case Xml_Load_Status::Missing:
        return read;
    case Xml_Load_Status::Unreadable:
        read.file_found = true;
        read.complete = false;
        read.message = load.message;
        return read;
    case Xml_Load_Status::Malformed:
        read.complete = false;
        read.message = load.message;
        break;
    case Xml_Load_Status::Ok:
        break;
    }
    read.file_found = true;
    Fill(doc, path, read);
    return read;
}

std::string Par_Gen_To_Xml(const Par_Gen_Set& set) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child(Root_Name);
    doc.append_child(pugi::node_comment).set_value(Version_Comment);
    for (const Par_Id id : Ids) {
        const Par_Def& def = Par_Def_Of(id);
        pugi::xml_node element = root.append_child(def.element);
        const std::string text = Is_Flag(def.kind) ? (set.Flag(id) ? "1" : "0") : set[id];
        if (!text.empty()) {
            element.text().set(text.c_str());
        }
    }
    // A raw carriage return would come back as a line feed (XML end-of-line handling), so it is
    // written as a character reference. Names and the comment hold none, only values can.
    const std::string raw = Xml_To_String(doc);
    std::string out;
    out.reserve(raw.size());
    for (const char c : raw) {
        if (c == '\r') {
            out += "&#13;";
        } else {
            out += c;
        }
    }
    return out;
}

Par_Gen_Save Save_Par_Gen(const Par_Gen_Set& set, const std::string& path, bool keep_old) {
    Par_Gen_Save save;
    if (keep_old && File_Exists(path)) {
        const std::optional<std::string> backup = Keep_Backup(path);
        if (!backup) {
            save.ok = false;
            save.message = path + Lang(74);
            return save;
        }
        save.backup = *backup;
    }
    const Io_Result written = Write_File_Atomic(path, Par_Gen_To_Xml(set));
    if (!written) {
        save.ok = false;
        save.message = written.message;
    }
    return save;
}

} // namespace qm
