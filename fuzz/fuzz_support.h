#pragma once
// Helpers shared by the fuzz targets: a scratch folder in memory, and checks that stop the run
// with a readable reason so that libFuzzer keeps the input that broke a rule.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace qm::fuzz {

// Prints what broke and aborts; libFuzzer then saves the input as a crash.
[[noreturn]] void Fail(std::string_view what, std::string_view detail = {});

inline void Require(bool condition, std::string_view what, std::string_view detail = {}) {
    if (!condition) {
        Fail(what, detail);
    }
}

// The same with a detail that is costly to build: it is made only when the rule is broken.
template <typename Detail>
    requires std::is_invocable_r_v<std::string, Detail>
void Require(bool condition, std::string_view what, Detail&& detail) {
    if (!condition) {
        Fail(what, detail());
    }
}

// A folder of this process, on a memory file system where there is one, created on first use.
const std::string& Scratch_Dir();

// Replaces path with bytes (plain write: the scratch folder is ours alone).
void Write_Bytes(const std::string& path, std::string_view bytes);
// Removes path if it is there.
void Remove_File(const std::string& path);

// Splits the fuzz input at every byte equal to separator, into at most count parts; parts that
// are missing are empty.
std::vector<std::string_view> Split_Input(std::string_view input, char separator, std::size_t count);

inline std::string_view As_Text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace qm::fuzz
