// A configuration folder made from the fuzz input (its four files separated by NUL bytes; an
// empty part leaves that file out) is built into the three images. A build either succeeds
// with images of the device's sizes that the independent decoder reads without a problem, or
// fails with a message naming a file and writes nothing.

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "build_inspect_check.h"
#include "common/file_io.h"
#include "fuzz_support.h"
#include "image/image_builder.h"

namespace {

using qm::fuzz::Require;

std::string Read_All(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// True when a UTF-8 text has a character whose UTF-16 code units include one with a zero low byte.
bool Has_Zero_Low_Byte(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = n == 1 ? lead : n == 2 ? (lead & 0x1FU) : n == 3 ? (lead & 0x0FU) : (lead & 0x07U);
        for (std::size_t k = 1; k < n && i + k < utf8.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3FU);
        }
        if (code >= 0x10000) {
            const std::uint32_t v = code - 0x10000;
            if (((0xD800U + (v >> 10)) & 0xFFU) == 0 || ((0xDC00U + (v & 0x3FFU)) & 0xFFU) == 0) {
                return true;
            }
        } else if (code != 0 && (code & 0xFFU) == 0) {
            return true;
        }
        i += n;
    }
    return false;
}

std::string_view Bytes(const qm::Image_Buffer& bank) {
    return {reinterpret_cast<const char*>(bank.data()), bank.length};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string project = [] {
        const std::string dir = qm::Path_Join(qm::fuzz::Scratch_Dir(), "Project");
        qm::Make_Dir(dir);
        qm::Make_Dir(qm::Path_Join(dir, "bin"));
        return dir;
    }();
    static auto image = std::make_unique<qm::Device_Image>();
    static auto second = std::make_unique<qm::Device_Image>();

    const qm::Build_Files files = qm::Build_Files_In(project);
    const std::string* paths[] = {&files.ParGen_File, &files.S7_Protocol_File, &files.IEC61850_Variables_File,
                                  &files.TLS_Known_Cert_File};
    const std::vector<std::string_view> parts = qm::fuzz::Split_Input(qm::fuzz::As_Text(data, size), '\0', 4);
    for (std::size_t i = 0; i < 4; ++i) {
        if (parts[i].empty()) {
            qm::fuzz::Remove_File(*paths[i]);
        } else {
            qm::fuzz::Write_Bytes(*paths[i], parts[i]);
        }
    }
    // What an earlier update left in bin; a failed build must not touch it.
    const std::string bin = qm::Path_Join(project, "bin");
    const std::string old_bank = "an earlier build";
    for (const char* name : qm::Bank_File_Names) {
        qm::fuzz::Write_Bytes(qm::Path_Join(bin, name), old_bank);
    }

    const qm::Build_Result built = qm::Build_Device_Image(*image, files);
    if (!built) {
        Require(!image->Complete, "a failed build left a complete image");
        bool named = false;
        for (const std::string* path : paths) {
            named = named || built.message.find(*path) != std::string::npos;
        }
        Require(named, "a failed build does not name the file", built.message);
        Require(!qm::Write_Bank_Files(*image, project), "an incomplete image was written");
        for (const char* name : qm::Bank_File_Names) {
            Require(Read_All(qm::Path_Join(bin, name)) == old_bank, "a failed build changed a bank file", name);
        }
        return 0;
    }

    Require(image->Complete, "a successful build is not marked complete");
    Require(image->Banks[0].length == 2048, "bank1 is not 2048 bytes");
    Require(image->Banks[1].length == 28672, "bank2 is not 28672 bytes");
    Require(image->Banks[2].length >= 1079 && image->Banks[2].length <= qm::Image_Buffer_Size,
            "bank3 size outside 1079..131072", std::to_string(image->Banks[2].length));

    // Two known disagreements are left out, both as the layout prescribes and both only possible
    // in a hand-edited file: an enabled variable without a name gets the address of whatever
    // follows, and a one-byte text (password, NTP server, variable name) holding a character whose
    // UTF-16 low byte is 0 gets a zero inside it. The decoder rightly warns about both.
    if (!Has_Zero_Low_Byte(image->NTP_Text) && !Has_Zero_Low_Byte(image->IEC61850.Password) &&
        std::none_of(image->IEC61850.Variables.begin(), image->IEC61850.Variables.end(),
                     [](const qm::TIEC61850_Var& v) { return Has_Zero_Low_Byte(v.Name); })) {
        std::string joined;
        for (const std::string& p : qm::fuzz::Inspect_Problems(Bytes(image->Banks[0]), Bytes(image->Banks[1]),
                                                               Bytes(image->Banks[2]))) {
            if (p.find(" name is empty: ") == std::string::npos) {
                joined += p + "\n";
            }
        }
        Require(joined.empty(), "the decoder finds a problem in a built image", joined);
    }

    // The same files give the same bytes, whatever the state the builder kept from before.
    Require(static_cast<bool>(qm::Build_Device_Image(*second, files)), "a second build failed");
    for (std::size_t i = 0; i < 3; ++i) {
        Require(Bytes(second->Banks[i]) == Bytes(image->Banks[i]), "two builds differ", qm::Bank_File_Names[i]);
    }

    Require(static_cast<bool>(qm::Write_Bank_Files(*image, project)), "bank files not written");
    for (std::size_t i = 0; i < 3; ++i) {
        Require(Read_All(qm::Path_Join(bin, qm::Bank_File_Names[i])) == Bytes(image->Banks[i]),
                "a bank file differs from its image", qm::Bank_File_Names[i]);
    }
    return 0;
}
