#pragma once
// Configuration folders under PROJECTS: creating, listing and choosing the open one.

#include <string>
#include <vector>

namespace qm {

// True when name names exactly one folder level on every platform: not empty, not "." or "..",
// no "/", "\\" or ":", no control character, and not made of dots and blanks only.
bool Is_Single_Folder_Name(const std::string& name);

// Creates PROJECTS/<name> with its bin folder and makes it the open configuration.
// Returns 0, or the string-table entry of the refusal: 107 empty name, 106 the folder exists,
// 105 the folder cannot be created (or the name would lead outside PROJECTS).
int Create_Configuration(const std::string& name);

// Makes name the open configuration, or closes the open one when name is empty.
void Open_Configuration(const std::string& name);

// The configuration folders under projects_dir, sorted ignoring the case of ASCII letters;
// files and hidden folders are left out.
std::vector<std::string> Load_Existing_Configuration(const std::string& projects_dir);

// The first position whose name equals snc ignoring the case of ASCII letters; -1 when none.
int Search_Open_Conf(const std::vector<std::string>& names, const std::string& snc);

// The open configuration's folder name as it follows PROJECTS in Project_Dir; empty when none.
std::string Open_Configuration_Name();

} // namespace qm
