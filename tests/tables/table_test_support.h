#pragma once
// Small helpers of the table tests: a scratch folder and whole-file reads and writes.

#include <filesystem>
#include <string>

namespace qm::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class Temp_Dir {
public:
    Temp_Dir();
    ~Temp_Dir();
    Temp_Dir(const Temp_Dir&) = delete;
    Temp_Dir& operator=(const Temp_Dir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

std::string Slurp(const std::string& path);
void Put(const std::string& path, const std::string& bytes);

} // namespace qm::test
