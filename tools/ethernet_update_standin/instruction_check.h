#pragma once
// Checks an Ethernet_Update.xml instruction file the way the update tool would before a transfer:
// its structure, the files it names, their sizes and their device addresses.

#include <cstdint>
#include <string>
#include <vector>

namespace qm::standin {

struct Transfer {
    std::string file;       // as named in Ope_FileName
    std::string image;      // "firmware", "bank 1", "bank 2" or "bank 3"
    std::uint64_t size = 0; // bytes
    std::uint32_t start_address = 0;
    bool read_back = false;
    bool go_to_app_after = false;
};

struct Instruction_Report {
    bool ok = false;
    std::string problem; // the first problem found, naming the file and the element
    std::string device;  // IP_Address_Dev
    std::string boot_port;
    std::vector<Transfer> transfers;
};

Instruction_Report Check_Instruction_File(const std::string& path);

} // namespace qm::standin
