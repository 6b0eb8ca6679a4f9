// Writes the English language file from the built-in defaults, so that translators start
// from a file that matches the program exactly.

#include "common/file_io.h"
#include "language/lang_file.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string> args = qm::Program_Arguments(argc, argv);
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: qm-lang-export <path of English.lng>\n");
        return 2;
    }
    try {
        const std::string& path = args[0];
        const qm::Io_Result written = qm::Write_File_Atomic(path, qm::English_Language_File_Text());
        if (!written) {
            std::fprintf(stderr, "qm-lang-export: %s\n", written.message.c_str());
            return 1;
        }
        std::printf("%s written\n", path.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qm-lang-export: %s\n", e.what());
        return 1;
    }
}
