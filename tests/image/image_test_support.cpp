#include "image_test_support.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <unistd.h>

namespace qm::test {
namespace fs = std::filesystem;

Bytes Hex(std::string_view text) {
    Bytes out;
    int high = -1;
    for (const char c : text) {
        int v = -1;
        if (c >= '0' && c <= '9') {
            v = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            v = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            v = c - 'a' + 10;
        } else {
            continue;
        }
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    return out;
}

void Append_U32(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFFU));
    }
}

void Append_U16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFFU));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Append_Text(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

namespace {

std::string Context(const Bytes& bytes, std::size_t at, std::size_t base) {
    std::ostringstream s;
    const std::size_t from = at >= 8 ? at - 8 : 0;
    const std::size_t to = std::min(bytes.size(), at + 9);
    char cell[16];
    std::snprintf(cell, sizeof cell, "%06zX:", from + base);
    s << cell;
    for (std::size_t i = from; i < to; ++i) {
        std::snprintf(cell, sizeof cell, i == at ? " [%02X]" : " %02X", bytes[i]);
        s << cell;
    }
    if (at >= bytes.size()) {
        s << " [end]";
    }
    return s.str();
}

} // namespace

::testing::AssertionResult Bytes_Equal(const Bytes& expected, const Bytes& actual, std::size_t base) {
    const std::size_t common = std::min(expected.size(), actual.size());
    std::size_t at = 0;
    while (at < common && expected[at] == actual[at]) {
        ++at;
    }
    if (at == common && expected.size() == actual.size()) {
        return ::testing::AssertionSuccess();
    }
    char offset[32];
    std::snprintf(offset, sizeof offset, "0x%zX", at + base);
    return ::testing::AssertionFailure()
           << "first difference at offset " << offset << " (sizes: expected " << expected.size() << ", actual "
           << actual.size() << ")\n  expected " << Context(expected, at, base) << "\n  actual   "
           << Context(actual, at, base);
}

Bytes Read_Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Temp_Project::Temp_Project() {
    static std::atomic<int> counter{0};
    const fs::path dir = fs::temp_directory_path() /
                         ("qm_image_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(dir);
    fs::create_directories(dir / "bin");
    dir_ = dir.string();
}

Temp_Project::~Temp_Project() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

std::string Temp_Project::Path(std::string_view name) const {
    return (fs::path(dir_) / name).string();
}

void Temp_Project::Write(std::string_view name, std::string_view content) const {
    std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

Bytes Built::Bank(std::size_t index) const {
    const Image_Buffer& bank = image->Banks.at(index);
    return Bytes(bank.data(), bank.data() + bank.length);
}

Built Build(const Temp_Project& project) {
    Built built;
    built.result = Build_Device_Image(*built.image, Build_Files_In(project.Dir()));
    return built;
}

std::string S7_Xml(std::string_view read_rows, std::string_view write_rows) {
    return "<S7_Protocol><S7_Protocol_Read>" + std::string(read_rows) + "</S7_Protocol_Read><S7_Protocol_Write>" +
           std::string(write_rows) + "</S7_Protocol_Write></S7_Protocol><!--SW_VERSION = 1.003-->";
}

std::string Variables_Xml(std::string_view rows) {
    return "<IEC61850_Variables>" + std::string(rows) + "</IEC61850_Variables><!--SW_VERSION = 1.000-->";
}

std::string Certs_Xml(std::string_view rows) {
    return "<TLS_Server_Known_Cert>" + std::string(rows) + "</TLS_Server_Known_Cert><!--SW_VERSION = 1.000-->";
}

std::string ParGen_Xml(std::string_view elements) {
    return "<Par_Gen>" + std::string(elements) + "</Par_Gen><!--SW_VERSION = 1.000-->";
}

} // namespace qm::test
