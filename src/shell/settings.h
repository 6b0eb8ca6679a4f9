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

// Sets the workspace paths from exe_dir and creates MASTER, PROJECTS and LANGUAGE where missing
// (one level each; a folder that cannot be made shows up later, where it is used).
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

} // namespace qm
