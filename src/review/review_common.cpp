#include "review/review_common.h"

#include <algorithm>
#include <cstdio>

#include "common/conversions.h"
#include "common/file_io.h"
#include "image/image_xml.h"
#include "language/lang_table.h"
#include "review/review_texts.h"
#include "review/sha256.h"
#include "tables/iec61850_variables.h"
#include "tables/tls_known_cert.h"

namespace qm {

namespace {

namespace rt = review_text;

// Loads a list file as the builder loads it; false, with the builder's message, when it cannot.
// A missing file leaves the document empty: no rows.
bool Load_Device_File(const std::string& path, pugi::xml_document& doc, std::vector<std::string>& problems) {
    bool present = false;
    if (const Build_Result loaded = Load_Build_Input(path, doc, present); !loaded) {
        problems.push_back(loaded.message);
        return false;
    }
    return true;
}

// Where the list's window keeps or reads a row otherwise than the builder.
void Warn_About_List(Table_Id id, const Table_Rows& rows, std::vector<std::string>& warnings) {
    const Table_Layout& def = Layout_Of(id);
    const std::string list = std::string(def.file) + ": " + Lang(def.title) + ", " + Lang(rt::Row);
    const std::string key = Lang(def.Column(def.key_column).title);
    const int length = List_Length(rows, def.key_column, def.capacity);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Table_Row& row = rows[r];
        const std::string where = list + std::to_string(r + 1);
        const std::string_view enable = Cell(row, 1);
        if (static_cast<int>(r) >= def.capacity) {
            // One line for them all: a crafted file may hold any number.
            if (std::any_of(rows.begin() + def.capacity, rows.end(), Row_Enabled)) {
                const std::string last = r + 1 < rows.size() ? ".." + std::to_string(rows.size()) : std::string();
                warnings.push_back(where + last + Lang(rt::Past_Window_Rows) + Lang(rt::Device_Gets_It));
            }
            break;
        }
        if (static_cast<int>(r) >= length) {
            if (!Row_Enabled(row)) continue;
            const bool blank = Trim(Cell(row, def.key_column)).empty();
            warnings.push_back(where + (blank ? Lang(rt::Has_Blank) : Lang(rt::Follows_Blank)) + key +
                               Lang(rt::Device_Gets_It));
        } else if (enable != "Y" && enable != "N") {
            warnings.push_back(where + Lang(rt::Enable_Is) + Quoted(enable) + Lang(rt::Device_Off));
        }
    }
}

} // namespace

Configuration_Files Read_Configuration(const std::string& folder) {
    Configuration_Files files;
    files.folder = folder;
    files.par_gen = Read_Par_Gen(Path_Join(folder, ParGen_Name));
    if (!files.par_gen.complete) files.problems.push_back(files.par_gen.message);
    files.s7 = Read_S7_Protocol_File(Path_Join(folder, S7_Protocol_Name));
    files.variables = Read_IEC61850_Variables_File(Path_Join(folder, Variables_Name));
    files.certificates = Read_TLS_Known_Cert_File(Path_Join(folder, Certificates_Name));

    auto& device = files.device;
    const auto slot = [&device](Table_Id id) -> Table_Rows& { return device[static_cast<std::size_t>(id)]; };
    pugi::xml_document doc;
    const bool s7 = Load_Device_File(Path_Join(folder, S7_Protocol_Name), doc, files.problems);
    slot(Table_Id::S7_Read) = Build_List_Rows(doc, Build_List::S7_Read, S7_Read_Attributes);
    slot(Table_Id::S7_Write) = Build_List_Rows(doc, Build_List::S7_Write, S7_Write_Attributes);
    const bool variables = Load_Device_File(Path_Join(folder, Variables_Name), doc, files.problems);
    slot(Table_Id::Variables) = Build_List_Rows(doc, Build_List::Variables, Variable_Attributes);
    const bool certificates = Load_Device_File(Path_Join(folder, Certificates_Name), doc, files.problems);
    slot(Table_Id::Certificates) = Build_List_Rows(doc, Build_List::Certificates, Cert_Attributes);
    const std::pair<bool, const Table_Read_Info*> windows[] = {
        {s7, &files.s7.info}, {variables, &files.variables.info}, {certificates, &files.certificates.info}};
    for (const auto& [read, info] : windows) {
        if (!read) continue;
        for (const std::string& problem : info->problems) files.window_problems.push_back(problem);
    }
    for (const Table_Id id : All_Tables) {
        Warn_About_List(id, List_Rows(files, id), files.warnings);
    }
    return files;
}

bool Has_Configuration_Files(const std::string& folder) {
    for (const char* name : {ParGen_Name, S7_Protocol_Name, Variables_Name, Certificates_Name}) {
        if (File_Exists(Path_Join(folder, name))) return true;
    }
    return false;
}

namespace {

struct Par_Label_Def {
    Par_Id first;
    int count; // 4 for an address, 1 otherwise
    int panel;
    int label;
};

// The parameters window's rows: panel caption and row label of each parameter.
constexpr Par_Label_Def Label_Defs[] = {
    {Par_Id::S7_Protocol_IP1, 4, 406, 407},          {Par_Id::S7_Protocol_SM1, 4, 406, 412},
    {Par_Id::S7_Protocol_GAT1, 4, 406, 417},         {Par_Id::S7_Protocol_EN_GAT, 1, 406, 417},
    {Par_Id::IEC61850_Server_IP1, 4, 872, 877},      {Par_Id::IEC61850_Server_SM1, 4, 872, 882},
    {Par_Id::IEC61850_Server_GAT1, 4, 872, 887},     {Par_Id::IEC61850_Server_EN_GAT, 1, 872, 887},
    {Par_Id::IEC61850_Server_DNS1, 4, 872, 919},     {Par_Id::IEC61850_Server_EN_DNS, 1, 872, 919},
    {Par_Id::IEC61850_Server_Port, 1, 872, 873},     {Par_Id::IEC61850_Server_Password, 1, 872, 875},
    {Par_Id::TLS_Server_Enable, 1, 906, 907},        {Par_Id::TLS_Server_Key, 1, 906, 909},
    {Par_Id::TLS_Server_Key_Password, 1, 906, 911},  {Par_Id::TLS_Server_Server_Certificate, 1, 906, 913},
    {Par_Id::TLS_Server_Root_Certificate, 1, 906, 915}, {Par_Id::TLS_Server_Enable_Known_Cert, 1, 906, 917},
    {Par_Id::NTP_Server_URL, 1, 720, 721},           {Par_Id::NTP_Poll_Time, 1, 720, 723},
};

} // namespace

std::string Par_Label(Par_Id id) {
    const int n = static_cast<int>(id);
    for (const auto& def : Label_Defs) {
        const int first = static_cast<int>(def.first);
        if (n >= first && n < first + def.count) {
            std::string label = Lang(def.panel) + " / " + Lang(def.label);
            if (def.count > 1) {
                label += ' ';
                label += std::to_string(n - first + 1);
            }
            return label;
        }
    }
    return Par_Def_Of(id).element;
}

bool Is_Secret(Par_Id id) {
    return id == Par_Id::IEC61850_Server_Password || id == Par_Id::TLS_Server_Key ||
           id == Par_Id::TLS_Server_Key_Password;
}

const Table_Rows& List_Rows(const Configuration_Files& files, Table_Id id) {
    return files.device[static_cast<std::size_t>(id)];
}

bool Row_Enabled(const Table_Row& row) {
    return Build_Takes(Cell(row, 1));
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

Text_Summary Summarise(std::string_view text) {
    Text_Summary summary;
    summary.sha256 = Sha256_Hex(text);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // Blank lines around the text say nothing about it.
        if (line.find_first_not_of(" \t") != std::string_view::npos) lines.push_back(line);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    summary.lines = lines.size();
    if (!lines.empty()) {
        summary.first_line = std::string(lines.front());
        summary.last_line = lines.size() > 1 ? std::string(lines.back()) : std::string();
    }
    return summary;
}

std::string Summary_Text(std::string_view text) {
    if (text.find('\n') == std::string_view::npos && text.size() <= 80) return Quoted(text);
    const Text_Summary s = Summarise(text);
    std::string out = Quoted(s.first_line);
    if (!s.last_line.empty()) out += " ... " + Quoted(s.last_line);
    return out + " (" + std::to_string(s.lines) + Lang(review_text::Lines) + ", SHA-256 " + s.sha256.substr(0, 16) + ")";
}

} // namespace qm
