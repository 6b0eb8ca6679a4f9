#pragma once
// The converter's communication parameters as the parameters window holds them, and the file
// ParGen.xml that stores them. Every value is the text as the user typed it; flags are "1" or "0".

#include <array>
#include <string>
#include <string_view>

namespace qm {

// The parameters in the order in which ParGen.xml lists them.
enum class Par_Id : int {
    S7_Protocol_IP1,
    S7_Protocol_IP2,
    S7_Protocol_IP3,
    S7_Protocol_IP4,
    S7_Protocol_SM1,
    S7_Protocol_SM2,
    S7_Protocol_SM3,
    S7_Protocol_SM4,
    S7_Protocol_GAT1,
    S7_Protocol_GAT2,
    S7_Protocol_GAT3,
    S7_Protocol_GAT4,
    S7_Protocol_EN_GAT,
    IEC61850_Server_IP1,
    IEC61850_Server_IP2,
    IEC61850_Server_IP3,
    IEC61850_Server_IP4,
    IEC61850_Server_SM1,
    IEC61850_Server_SM2,
    IEC61850_Server_SM3,
    IEC61850_Server_SM4,
    IEC61850_Server_GAT1,
    IEC61850_Server_GAT2,
    IEC61850_Server_GAT3,
    IEC61850_Server_GAT4,
    IEC61850_Server_EN_GAT,
    IEC61850_Server_DNS1,
    IEC61850_Server_DNS2,
    IEC61850_Server_DNS3,
    IEC61850_Server_DNS4,
    IEC61850_Server_EN_DNS,
    IEC61850_Server_Port,
    IEC61850_Server_Password,
    TLS_Server_Enable,
    TLS_Server_Key,
    TLS_Server_Key_Password,
    TLS_Server_Server_Certificate,
    TLS_Server_Root_Certificate,
    TLS_Server_Enable_Known_Cert,
    NTP_Server_URL,
    NTP_Poll_Time,
    Count
};

inline constexpr int Par_Count = static_cast<int>(Par_Id::Count);

enum class Par_Kind {
    Octet,
    Port,
    Seconds,
    Text,
    Multi_Line_Text,
    Flag_Exact,  // set only by the text "1"
    Flag_Integer // set by any text that converts to the integer 1 ("01", "$1")
};

struct Par_Def {
    const char* element;      // element name in ParGen.xml
    const char* field;        // control of the parameters window
    Par_Kind kind;
    const char* default_text; // "0" for a flag
};

inline bool Is_Flag(Par_Kind kind) {
    return kind == Par_Kind::Flag_Exact || kind == Par_Kind::Flag_Integer;
}

// The definition of one parameter.
const Par_Def& Par_Def_Of(Par_Id id);
// All parameter ids in file order, for loops.
const std::array<Par_Id, Par_Count>& All_Par_Ids();

// The NTP server the defaults point at.
inline constexpr const char* Default_NTP_Server = "pool.ntp.org";

struct Par_Gen_Set {
    std::array<std::string, Par_Count> value; // as typed; a flag holds "1" or "0"

    const std::string& operator[](Par_Id id) const { return value[static_cast<std::size_t>(id)]; }
    std::string& operator[](Par_Id id) { return value[static_cast<std::size_t>(id)]; }
    bool Flag(Par_Id id) const { return (*this)[id] == "1"; }
    void Set_Flag(Par_Id id, bool on) { (*this)[id] = on ? "1" : "0"; }
    bool operator==(const Par_Gen_Set&) const = default;
};

// Every parameter at its default: the set of a configuration without ParGen.xml.
Par_Gen_Set Par_Gen_Defaults();

struct Par_Gen_Read {
    Par_Gen_Set set;
    bool file_found = false; // a missing file is not an error: set holds the defaults
    bool complete = true;    // false when the file exists but could not be read entirely
    std::string message;     // why not, naming the file (and line and column); empty when complete
};

// Reads ParGen.xml as the parameters window does: missing file or element gives the default,
// silently; a file that is not well-formed keeps what was read before the fault.
Par_Gen_Read Read_Par_Gen(const std::string& path);
// Same, from the text of a file; name is used in messages.
Par_Gen_Read Read_Par_Gen_Text(std::string_view text, const std::string& name);

// The bytes of ParGen.xml for a set: root, version comment after it, no declaration, UTF-8.
std::string Par_Gen_To_Xml(const Par_Gen_Set& set);

struct Par_Gen_Save {
    bool ok = true;
    std::string message; // the reason, naming the file, when !ok
    std::string backup;  // where the old file was kept, when it was
};

// Replaces the file at path through a temporary file, so a failed save leaves the old one intact.
// With keep_old (the old file could not be read completely) it is first copied beside itself;
// when that copy fails nothing is written.
Par_Gen_Save Save_Par_Gen(const Par_Gen_Set& set, const std::string& path, bool keep_old);

} // namespace qm
