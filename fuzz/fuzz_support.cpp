#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace qm::fuzz {

void Fail(std::string_view what, std::string_view detail) {
    std::fprintf(stderr, "\n*** rule broken: %.*s\n", static_cast<int>(what.size()), what.data());
    if (!detail.empty()) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(detail.size()), detail.data());
    }
    std::abort();
}

const std::string& Scratch_Dir() {
    // Never destroyed: the exit handler below still needs it after static destructors ran.
    static const std::string* const dir = [] {
        namespace fs = std::filesystem;
        std::error_code ec;
        // /dev/shm keeps the thousands of writes per second off the disk.
        const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        const fs::path d = base / ("qm_fuzz_" + std::to_string(::getpid()));
        fs::create_directories(d, ec);
        std::atexit([] {
            std::error_code e;
            fs::remove_all(Scratch_Dir(), e);
        });
        return new std::string(d.string());
    }();
    return *dir;
}

void Write_Bytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Require(static_cast<bool>(out), "scratch file could not be written", path);
}

void Remove_File(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

std::vector<std::string_view> Split_Input(std::string_view input, char separator, std::size_t count) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < count) {
        const std::size_t at = input.find(separator);
        if (at == std::string_view::npos) {
            break;
        }
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + 1);
    }
    parts.push_back(input);
    parts.resize(count);
    return parts;
}

} // namespace qm::fuzz
