#pragma once
// Shared helpers of the builder tests: a throw-away configuration folder, hex fixtures and a byte
// comparison that reports the first differing offset with the bytes around it.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "image/image_builder.h"

namespace qm::test {

using Bytes = std::vector<std::uint8_t>;

// "7D 01 A8 C0" or "7D01A8C0" into bytes; blanks and "|" are ignored.
Bytes Hex(std::string_view text);
// Little-endian u32 and u16 for building expected images.
void Append_U32(Bytes& out, std::uint32_t value);
void Append_U16(Bytes& out, std::uint16_t value);
void Append_Text(Bytes& out, std::string_view text);

// Equal, or the first differing offset (relative offsets shown with base added) and a hex context.
::testing::AssertionResult Bytes_Equal(const Bytes& expected, const Bytes& actual, std::size_t base = 0);

Bytes Read_Bytes(const std::string& path);

// A configuration folder with a bin sub-folder, removed with the fixture.
class Temp_Project {
public:
    Temp_Project();
    ~Temp_Project();
    Temp_Project(const Temp_Project&) = delete;
    Temp_Project& operator=(const Temp_Project&) = delete;

    const std::string& Dir() const { return dir_; }
    std::string Path(std::string_view name) const;
    void Write(std::string_view name, std::string_view content) const;

private:
    std::string dir_;
};

// Builds the folder's files into a fresh image; the result is kept in result.
struct Built {
    std::unique_ptr<Device_Image> image = std::make_unique<Device_Image>();
    Build_Result result;

    Bytes Bank(std::size_t index) const; // 0, 1, 2 for bank 1, 2, 3
};
Built Build(const Temp_Project& project);

// Wraps rows into the list files as the editors write them.
std::string S7_Xml(std::string_view read_rows, std::string_view write_rows);
std::string Variables_Xml(std::string_view rows);
std::string Certs_Xml(std::string_view rows);
std::string ParGen_Xml(std::string_view elements);

} // namespace qm::test
