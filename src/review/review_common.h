#pragma once
// What the report and the comparison share: a configuration's four files as the editors read
// them, the labels of their fields from the string table, and how values are shown.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "parameters/par_gen.h"
#include "tables/s7_protocol.h"
#include "tables/table_file.h"
#include "tables/table_layout.h"

namespace qm {

struct Configuration_Files {
    std::string folder;
    Par_Gen_Read par_gen;
    S7_Protocol_Read_Result s7;
    Table_Read_Result variables;
    Table_Read_Result certificates;
    // A file that exists but could not be read, one line each, naming the file.
    std::vector<std::string> problems;
    // The four lists as the builder reads them (Table_Id order): every row of the file, in order,
    // the texts as written; a missing attribute is empty.
    std::array<Table_Rows, 4> device;
    // Where a window reads the lists otherwise than the builder, one line each, naming file and row.
    std::vector<std::string> warnings;
    // What a window could not take from a list file that the builder reads: the device still gets it.
    std::vector<std::string> window_problems;
    bool Readable() const { return problems.empty(); }
};

inline constexpr const char* ParGen_Name = "ParGen.xml";
inline constexpr const char* S7_Protocol_Name = "S7_Protocol.xml";
inline constexpr const char* Variables_Name = "IEC61850_Variables.xml";
inline constexpr const char* Certificates_Name = "TLS_Known_Cert.xml";

// Reads the four files of a folder: the parameters and the windows' lists with the editors'
// readers, the device's lists with the builder's. A missing file is an empty list or the defaults.
Configuration_Files Read_Configuration(const std::string& folder);

// True for the configuration folder's own files: one of the four exists in it.
bool Has_Configuration_Files(const std::string& folder);
// True for a folder of device images: one of bank1.bin to bank3.bin exists in it.
bool Has_Bank_Files(const std::string& folder);

// The parameter's label as the parameters window shows it: panel, label, and for an address
// octet its place ("S7comm / IP Address 1"), in the current language.
std::string Par_Label(Par_Id id);
// The server password, the TLS key and the key password.
bool Is_Secret(Par_Id id);

// The rows of the list as the device gets them: every row of the file, blank keys included.
const Table_Rows& List_Rows(const Configuration_Files& files, Table_Id id);
// Whether the builder takes the row: its Enable is exactly "Y", in every list.
bool Row_Enabled(const Table_Row& row);

// A value on one line, between quotes: control characters as \n, \t, \xNN.
std::string Quoted(std::string_view text);
// A multi-line text (key, certificate) on one line: its first and last line and its SHA-256.
struct Text_Summary {
    std::string first_line;
    std::string last_line;
    std::string sha256;
    std::size_t lines = 0;
};
Text_Summary Summarise(std::string_view text);
// "first line ... last line (SHA-256 0123abcd...)", or the text quoted when it is one line.
std::string Summary_Text(std::string_view text);

} // namespace qm
