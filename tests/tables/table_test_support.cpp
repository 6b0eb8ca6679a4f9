#include "table_test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "../common/temp_folder.h"

namespace qm::test {

Temp_Dir::Temp_Dir() {
    path_ = Make_Temp_Folder("qm_tables_");
    if (path_.empty()) {
        throw std::runtime_error("cannot create a temporary folder");
    }
}

Temp_Dir::~Temp_Dir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string Temp_Dir::File(const std::string& name) const {
    return (std::filesystem::path(path_) / name).string();
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace qm::test
