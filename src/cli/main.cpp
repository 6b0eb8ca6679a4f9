#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "common/app_state.h"
#include "common/file_io.h"

namespace qm::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"check", "<configuration-folder>", "checks the configuration as the editors' OK buttons do", Run_Check},
        {"build", "<configuration-folder>", "writes bin/bank1.bin, bank2.bin and bank3.bin", Run_Build},
        {"inspect", "<configuration-folder | bank file>", "decodes device images into readable text", Run_Inspect},
        {"import", "<configuration-folder> <table> <file> [--append]",
         "reads a CSV/TSV file into a list (s7-read, s7-write, variables, certificates)", Run_Import},
        {"export", "<configuration-folder> <table> [<file>] [--separator , | ; | tab]",
         "writes a list as a CSV file (stdout without a file)", Run_Export},
        {"report", "<configuration-folder> [-o <file>]", "a printable report: text, HTML or PDF", Run_Report},
        {"diff", "<folder-A> <folder-B> [--banks]", "every difference between two configurations", Run_Diff},
        {"map", "<configuration-folder> [--json]",
         "which rows fill and show which bytes of the data arrays, and where they clash", Run_Map},
        {"tags", "<configuration-folder> <file> --plc A.B.C.D [...]",
         "adds S7comm rules from a PLC tag table, symbol table or DB source", Run_Tags},
    };
    return commands;
}

} // namespace qm::cli

namespace {

void Print_Help(std::ostream& out) {
    out << "quillmaker-cli " << QM_VERSION << " - configurator of the " << qm::SW_Desc << " ("
        << qm::SW_Code << ")\n\n"
        << "Usage: quillmaker-cli <command> [arguments]\n\nCommands:\n";
    for (const auto& command : qm::cli::Commands()) {
        const std::string head = std::string(command.name) + " " + command.arguments;
        out << "  " << head << std::string(head.size() < 38 ? 40 - head.size() : 2, ' ') << command.summary << "\n";
    }
    out << "  --help                                  this help\n"
        << "  --version                               the program's version\n";
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args = qm::Program_Arguments(argc, argv);
    qm::Prepare_Standard_Output();
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        Print_Help(std::cout);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "--version") {
        std::cout << "quillmaker-cli " << QM_VERSION << " (configurator version " << qm::Program_Version << ", "
                  << qm::SW_Code << ")\n";
        return 0;
    }
    for (const auto& command : qm::cli::Commands()) {
        if (args[0] == command.name) {
            return command.run(std::vector<std::string>(args.begin() + 1, args.end()), std::cout, std::cerr);
        }
    }
    std::cerr << "quillmaker-cli: unknown command '" << args[0] << "' (see quillmaker-cli --help)\n";
    return 2;
}
