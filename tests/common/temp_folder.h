#pragma once
// A new, empty folder under the system's temporary folder, on every platform the tests run on.

#include <filesystem>
#include <random>
#include <string>
#include <string_view>

namespace qm::test {

// prefix followed by random letters; the UTF-8 path, or empty when no folder could be made.
inline std::string Make_Temp_Folder(std::string_view prefix) {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) {
        return {};
    }
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(prefix);
        for (int i = 0; i < 8; ++i) {
            name += static_cast<char>('a' + random() % 26);
        }
        const std::filesystem::path candidate = base / name;
        if (std::filesystem::create_directory(candidate, ec)) {
            const std::u8string path = candidate.u8string();
            return std::string(path.begin(), path.end());
        }
    }
    return {};
}

} // namespace qm::test
