#pragma once
// Process-wide state of the configurator: workspace paths, program settings and the open
// configuration. Qt-free, so the command-line tool and the tests use it as the windows do.

#include <string>

namespace qm {

inline constexpr const char* SW_Code = "CF39174";
inline constexpr const char* SW_Desc = "IEC61850 Server / S7comm - Converter";
inline constexpr const char* Program_Version = "1.000";
inline constexpr const char* Main_Window_Title = "Velmor - Configurator CF39174 - IEC61850 Server / S7comm ";

struct Workspace {
    std::string Exe_Dir;
    std::string Master_Dir;
    std::string Projects_Dir;
    std::string Language_Dir;
};

struct Settings_Data {
    std::string Project_Name;
    std::string Last_IP_Address = "192.168.2.205";
    std::string Language = "English";
    bool Enable_Internet = false;
    bool Enable_Update = false;
    bool Enable_Jump_Field_Tables = false;
    bool Double_Click_Auto_Size = false;

    bool operator==(const Settings_Data&) const = default;
};

struct Project_Files {
    std::string Project_Dir; // empty while no configuration is open
    std::string ParGen_File;
    std::string S7_Protocol_File;
    std::string IEC61850_Variables_File;
    std::string TLS_Known_Cert_File;
};

struct App_State {
    Workspace Paths;
    Settings_Data Settings;
    Project_Files Project;
    bool Last_Read_Back = true; // the update window's read-back box; not stored
    // Set when Quillmaker.xml existed but could not be read: the next save first keeps a copy of it.
    bool Settings_File_Unreadable = false;
};

// The one instance the program runs with.
App_State& State();

} // namespace qm
