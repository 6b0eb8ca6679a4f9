#pragma once
// One function per command of quillmaker-cli. Each returns the process exit code:
// 0 success, 1 the input is at fault, 2 usage error or unreadable input.

#include <ostream>
#include <string>
#include <vector>

namespace qm::cli {

struct Command {
    const char* name;
    const char* arguments;
    const char* summary;
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

using Args = std::vector<std::string>;
int Run_Check(const Args& args, std::ostream& out, std::ostream& err);   // cmd_check.cpp
int Run_Build(const Args& args, std::ostream& out, std::ostream& err);   // cmd_build.cpp
int Run_Inspect(const Args& args, std::ostream& out, std::ostream& err); // cmd_inspect.cpp
int Run_Import(const Args& args, std::ostream& out, std::ostream& err);  // cmd_import.cpp
int Run_Export(const Args& args, std::ostream& out, std::ostream& err);  // cmd_export.cpp

// The review of configurations: a printable report and a comparison of two.
int Run_Report(const Args& args, std::ostream& out, std::ostream& err); // cmd_report.cpp
int Run_Diff(const Args& args, std::ostream& out, std::ostream& err);   // cmd_diff.cpp
// How rules and variables share the data arrays.
int Run_Map(const Args& args, std::ostream& out, std::ostream& err);    // cmd_map.cpp
// Rules (and variables) from the files of the PLC's engineering project.
int Run_Tags(const Args& args, std::ostream& out, std::ostream& err);   // cmd_tags.cpp

// The commands, in the order --help lists them.
const std::vector<Command>& Commands();

} // namespace qm::cli
