#pragma once
// Runs the built quillmaker-cli as a user would, its output caught in files of a scratch folder.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace qm::test {

struct Cli_Run {
    int code = -1;
    std::string out;
    std::string err;
};

inline std::string Slurp_File(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// args as a shell would read them (paths already quoted); out.txt and err.txt go into scratch.
inline Cli_Run Run_Cli(const std::filesystem::path& scratch, const std::string& args) {
    const std::filesystem::path out = scratch / "out.txt";
    const std::filesystem::path err = scratch / "err.txt";
    const std::string command =
        std::string("'") + QM_CLI_PATH + "' " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp_File(out), Slurp_File(err)};
}

} // namespace qm::test
