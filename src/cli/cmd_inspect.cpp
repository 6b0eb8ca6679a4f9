#include "cli/commands.h"

#include <optional>

#include "common/file_io.h"
#include "image/image_inspect.h"

namespace qm::cli {

namespace {

// Far above any real bank (bank 3 is at most 131072 bytes), low enough never to read a disk image.
constexpr std::uint64_t Max_Bank_File = 16ULL * 1024 * 1024;

void Usage(std::ostream& err) {
    err << "usage: quillmaker-cli inspect [--full] [--raw] [--bank 1|2|3] <configuration-folder | bank file>\n"
           "  --full      print keys and certificates whole\n"
           "  --raw       print the 28 bytes of every used rule record\n"
           "  --bank N    decode a single file as bank N whatever its name and size\n";
}

std::optional<Bank_File> Load(const std::string& path, const std::string& name, std::ostream& err) {
    std::string content;
    if (const auto result = Read_File(path, content, Max_Bank_File); !result) {
        err << "quillmaker-cli inspect: " << result.message << "\n";
        return std::nullopt;
    }
    return Bank_File{name, std::vector<std::uint8_t>(content.begin(), content.end())};
}

} // namespace

int Run_Inspect(const Args& args, std::ostream& out, std::ostream& err) {
    Inspect_Options options;
    int forced_bank = 0;
    std::optional<std::string> target;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--full") {
            options.full_strings = true;
        } else if (arg == "--raw") {
            options.raw_records = true;
        } else if (arg == "--bank" && i + 1 < args.size() && args[i + 1].size() == 1 && args[i + 1][0] >= '1' &&
                   args[i + 1][0] <= '3') {
            forced_bank = args[++i][0] - '0';
        } else if (arg == "--help" || arg == "-h") {
            Usage(out);
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            err << "quillmaker-cli inspect: unknown or incomplete option '" << arg << "'\n";
            Usage(err);
            return 2;
        } else if (target) {
            err << "quillmaker-cli inspect: one folder or file at a time\n";
            Usage(err);
            return 2;
        } else {
            target = arg;
        }
    }
    if (!target) {
        Usage(err);
        return 2;
    }

    std::optional<Bank_File> banks[3];
    std::vector<std::string> missing;
    if (Dir_Exists(*target)) {
        if (forced_bank != 0) {
            err << "quillmaker-cli inspect: --bank applies to a single file, not to a folder\n";
            return 2;
        }
        // A configuration folder holds its images in bin; its bin folder itself is accepted as well.
        auto has_banks = [](const std::string& dir) {
            for (const char* file : {"bank1.bin", "bank2.bin", "bank3.bin"}) {
                if (File_Exists(Path_Join(dir, file))) return true;
            }
            return false;
        };
        std::string dir = Path_Join(*target, "bin");
        if (!has_banks(dir) && has_banks(*target)) dir = *target;
        if (!has_banks(dir)) {
            err << "quillmaker-cli inspect: no bank files in " << Path_Join(*target, "bin")
                << ": build first (quillmaker-cli build " << *target << ")\n";
            return 2;
        }
        for (int bank = 1; bank <= 3; ++bank) {
            const std::string name = "bank" + std::to_string(bank) + ".bin";
            const std::string path = Path_Join(dir, name);
            if (!File_Exists(path)) {
                missing.push_back(path);
                continue;
            }
            banks[bank - 1] = Load(path, name, err);
            if (!banks[bank - 1]) return 2;
        }
    } else if (File_Exists(*target)) {
        const std::string name = Base_Name(*target);
        auto file = Load(*target, name, err);
        if (!file) return 2;
        const int bank = forced_bank != 0 ? forced_bank : Guess_Bank(name, file->bytes.size());
        if (bank == 0) {
            err << "quillmaker-cli inspect: cannot tell which bank " << *target << " holds (" << file->bytes.size()
                << " bytes); name it bank1.bin, bank2.bin or bank3.bin, or pass --bank N\n";
            return 2;
        }
        banks[bank - 1] = std::move(file);
    } else {
        err << "quillmaker-cli inspect: " << *target << ": no such folder or file\n";
        return 2;
    }

    for (const auto& path : missing) {
        out << "problem: " << path << " is missing: build first (quillmaker-cli build " << *target << ")\n";
    }
    if (!missing.empty()) out << '\n';
    const Inspect_Report report = Inspect_Banks(banks[0], banks[1], banks[2], options);
    out << report.text;
    return report.ok() && missing.empty() ? 0 : 1;
}

} // namespace qm::cli
