#include "table_test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qm::test {

Temp_Dir::Temp_Dir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qm_tables_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
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
