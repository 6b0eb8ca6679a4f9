#pragma once
// Start-up of the configurator without its windows: workspace folders, Quillmaker.xml,
// the remembered configuration and the paths of the open configuration's files.

#include <pugixml.hpp>

#include <string>

#include "common/file_io.h"
#include "common/app_state.h"

namespace qm {

// Exe_Dir + "Quillmaker.xml".
std::string Settings_File();

// Beside the program file of an installed package, which cannot write beside itself.
inline constexpr const char* Installed_Marker_Name = "Quillmaker.installed";

// Where the workspace (MASTER, PROJECTS, LANGUAGE, Quillmaker.xml) lives: beside the program,
// or, for an installed program (the marker beside it), in User_Data_Dir()/Quillmaker.
std::string Workspace_Dir(const std::string& exe_dir);

// Sets the workspace paths and creates MASTER, PROJECTS and LANGUAGE where missing (one level
// each; a folder that cannot be made shows up later, where it is used). For an installed program
// the workspace is made in the user's data folder; on its first start the shipped language files
// are copied into its LANGUAGE, and the update tool is reached through a starter in the workspace
// that hands it the instruction file written there.
void Init_Workspace(const std::string& exe_dir);

// Reads every value on its own from the document's first node; a value that cannot be read
// takes its default without disturbing the others.
Settings_Data Read_Settings(const pugi::xml_document& doc);

struct Settings_Load_Result {
    bool found = false;  // the file existed
    std::string problem; // set when it existed but could not be read; names the file
};

// Loads the settings file into State().Settings. A missing file gives the defaults silently;
// an unreadable or not well-formed one gives the defaults too, is reported in problem and is
// copied aside before the next Save_Setting replaces it.
Settings_Load_Result Load_Setting();

// The file's exact content for these settings: the fixed tree, no declaration.
std::string Settings_To_Xml(const Settings_Data& settings);

// Writes State().Settings to Quillmaker.xml through a temporary file; the reason on failure.
Io_Result Save_Setting();

// Opens the remembered Project_Name when its folder still exists under PROJECTS; otherwise
// no configuration is open and Project_Name is kept, so that it is written back unchanged.
void Reopen_Remembered_Project();

// Recomputes the configuration's file paths from Project_Dir; all empty while none is open.
void Set_Files();

struct Start_Up_Result {
    std::string problem; // the settings or language file that could not be read; empty when none
};

// The window-free part of the main window's creation: workspace, settings, string table,
// remembered configuration, file paths. State() is expected fresh.
Start_Up_Result Start_Up(const std::string& exe_dir);

// Whether the options window offers a language file: a plain file its users may change
// (Is_Plain_Writable_File), which leaves out files made read-only on purpose.
bool Is_Offered_Language_File(const std::string& path);

} // namespace qm
