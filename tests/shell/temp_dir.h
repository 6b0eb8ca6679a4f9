#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "../common/temp_folder.h"

namespace qm::test {

class Temp_Dir {
public:
    Temp_Dir() {
        path_ = Make_Temp_Folder("qm_shell_");
    }
    ~Temp_Dir() {
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(std::u8string(path_.begin(), path_.end())), ec);
    }
    Temp_Dir(const Temp_Dir&) = delete;
    Temp_Dir& operator=(const Temp_Dir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void Write_Text(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string Read_Text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace qm::test
