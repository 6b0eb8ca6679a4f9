// Ethernet_Update stand-in: the real update tool is a separate product. This one reads the
// instruction file the configurator writes, checks it and reports what would be transferred,
// without contacting any device.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_io.h"
#include "instruction_check.h"

namespace {

constexpr const char* Banner = "Ethernet_Update stand-in: checks the instruction file only; no device is contacted.";

void Print_Help() {
    std::printf("%s\n\n"
                "Usage: Ethernet_Update [instruction file]\n\n"
                "Without an argument it reads Ethernet_Update.xml beside itself, as the real update tool\n"
                "does when the configurator starts it. It checks the file's structure, that every file to\n"
                "transfer exists with the size of its memory bank and that each start address is the\n"
                "device address of its image, then prints the transfers it would make.\n\n"
                "Exit code: 0 when the file is usable, 1 for the first problem found, 2 for a usage error.\n",
                Banner);
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%05X", value);
    return text;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args = qm::Program_Arguments(argc, argv);
    std::string path;
    if (args.size() > 1) {
        std::fprintf(stderr, "Ethernet_Update stand-in: too many arguments (see --help)\n");
        return 2;
    }
    if (args.size() == 1) {
        const std::string_view arg = args[0];
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            Print_Help();
            return 0;
        }
        path = args[0];
    } else {
        path = qm::Path_Join(qm::Program_Dir(), "Ethernet_Update.xml");
    }

    std::printf("%s\n", Banner);
    const qm::standin::Instruction_Report report = qm::standin::Check_Instruction_File(path);
    if (!report.ok) {
        std::fprintf(stderr, "Ethernet_Update stand-in: %s\n", report.problem.c_str());
        return 1;
    }
    std::printf("Instruction file: %s\nDevice: %s, boot port %s\n", path.c_str(), report.device.c_str(),
                report.boot_port.c_str());
    int number = 0;
    for (const qm::standin::Transfer& t : report.transfers) {
        std::printf("%d. would transfer the %s %s (%llu bytes) to %s%s%s\n", ++number, t.image.c_str(), t.file.c_str(),
                    static_cast<unsigned long long>(t.size), Hex(t.start_address).c_str(),
                    t.read_back ? ", read back" : "", t.go_to_app_after ? ", then start the application" : "");
    }
    std::printf("Nothing was transferred (stand-in).\n");
    return 0;
}
