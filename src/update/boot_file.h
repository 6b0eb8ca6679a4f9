#pragma once
// The instruction file for the update tool (Ethernet_Update.xml) and the start of that tool.

#include <pugixml.hpp>

#include <array>
#include <functional>
#include <string>

#include "common/file_io.h"

namespace qm {

// Index of the update window's option list.
enum Update_Option : int {
    Firmware_And_Configuration = 0,
    Firmware_Only = 1,
    Configuration_Only = 2,
};

// Everything the instruction file is made of, read at the moment of writing.
struct Boot_Request {
    std::array<std::string, 4> IP_Fields; // E_IP1 ... E_IP4 as typed
    int Option = Firmware_And_Configuration;
    bool Read_Back = true;
    std::string Exe_Dir;
    std::string Master_Dir;
    std::string Project_Dir;
};

inline constexpr const char* Boot_File_Name = "Ethernet_Update.xml";
inline constexpr const char* Firmware_File_Name = "Sim39174.sim";

// Device addresses the images are built for; the tool is told to write each file there.
inline constexpr const char* Firmware_Start_Address = "0x8000";
inline constexpr const char* Bank1_Start_Address = "0x07000";
inline constexpr const char* Bank2_Start_Address = "0x80000";
inline constexpr const char* Bank3_Start_Address = "0xA0000";

// The four field texts joined by "." exactly as typed.
std::string Join_IP_Fields(const std::array<std::string, 4>& fields);

// Exe_Dir/Ethernet_Update.xml.
std::string Boot_File_Path(const std::string& exe_dir);
// The update tool beside the program: Ethernet_Update.exe on Windows, Ethernet_Update elsewhere.
std::string Update_Tool_Path(const std::string& exe_dir);

// Clears doc and builds the instruction tree for the request.
// An option outside 0..2 writes no operation, as the option list never offers one.
void Build_Boot_Document(pugi::xml_document& doc, const Boot_Request& request);

// Builds the tree in doc and saves it to Exe_Dir/Ethernet_Update.xml through a temporary file,
// replacing an existing file. On failure the message names the file and the reason,
// and the old file is left as it was.
Io_Result Compile_XML_Parameter_New_Boot(pugi::xml_document& doc, const Boot_Request& request);

// Runs a program and waits for its end (NomeSW, Parameter, tipo: true starts it hidden).
using Program_Starter = std::function<void(const std::string& program, const std::string& parameter, bool hidden)>;

// The starter used for the update tool; tests replace it. An empty starter restores the default.
void Set_Program_Starter(Program_Starter starter);

// Starts the update tool beside the program with no arguments in a normal window and waits for it
// (at most 150 s, exit code ignored).
void Start_Update_Tool(const std::string& exe_dir);

} // namespace qm
