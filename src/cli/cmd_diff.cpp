// quillmaker-cli diff <folder-A> <folder-B> [--banks]
//
// Every difference between two configurations, one line each, grouped by file, A being the
// older side ("old -> new"): parameters by element and label, list rows by number and column,
// rows added or removed aligned as a line diff aligns lines. Secrets show only as changed.
// With --banks both sides are also built in memory (or read, for a bin folder or a bank file)
// and their images compared field by field with device addresses. A summary line ends the output.
//
// A configuration is a folder holding any of its four files; a side may also be a bin folder
// (bank files, none of the four) or one bank file named bank1.bin to bank3.bin, of a size that
// bank can have, and is then compared as with --banks. Where a window reads a list otherwise than the builder, a warning
// goes to standard error. The images compare every byte: identical output means identical images.
//
// Exit code: 0 identical (with --banks: the images byte-identical), 1 different, 2 usage error, a side that is none of the above, or
// unreadable input.

#include <optional>

#include "cli/commands.h"
#include "common/file_io.h"
#include "language/lang_table.h"
#include "review/bank_diff.h"
#include "review/config_diff.h"
#include "review/review_texts.h"

namespace qm::cli {
namespace {

namespace rt = review_text;

// Why a side cannot be compared as a configuration; empty when it can.
std::string Configuration_Problem(const std::string& path, bool banks) {
    if (!File_Exists(path) && !Dir_Exists(path)) return path + Lang(rt::Not_Found);
    if (Dir_Exists(path) && Has_Configuration_Files(path)) return {};
    if (banks) return {}; // a bin folder or a bank file: Load_Image_Side judges it
    return path + Lang(rt::Not_Configuration);
}

void Print_Warnings(const Configuration_Files& files, std::ostream& err) {
    for (const std::string& problem : files.window_problems) {
        err << "quillmaker-cli diff: " << Lang(rt::Warning) << Lang(rt::Window_Reads) << problem << "\n";
    }
    for (const std::string& warning : files.warnings) {
        err << "quillmaker-cli diff: " << Lang(rt::Warning) << warning << "\n";
    }
}

} // namespace

int Run_Diff(const Args& args, std::ostream& out, std::ostream& err) {
    Load_Default_Strings();
    bool banks = false;
    std::vector<std::string> sides;
    for (const std::string& arg : args) {
        if (arg == "--banks") {
            banks = true;
        } else if (arg == "--help" || arg == "-h") {
            out << Lang(rt::Diff_Usage) << "\n";
            return 0;
        } else if (arg.empty() || arg[0] == '-') {
            err << Lang(rt::Diff_Usage) << "\n";
            return 2;
        } else {
            sides.push_back(arg);
        }
    }
    if (sides.size() != 2) {
        err << Lang(rt::Diff_Usage) << "\n";
        return 2;
    }
    // Images have nothing but their bytes to compare: a bin folder or a bank file compares as --banks.
    for (const std::string& side : sides) {
        if (File_Exists(side) || (Dir_Exists(side) && !Has_Configuration_Files(side) && Has_Bank_Files(side))) {
            banks = true;
        }
    }
    for (const std::string& side : sides) {
        if (const std::string problem = Configuration_Problem(side, banks); !problem.empty()) {
            err << "quillmaker-cli diff: " << problem << "\n";
            return 2;
        }
    }

    Diff_Result result;
    // The lists as the builder reads them; where a window reads them otherwise, a warning.
    const bool configurations = Dir_Exists(sides[0]) && Has_Configuration_Files(sides[0]) && Dir_Exists(sides[1]) &&
                                Has_Configuration_Files(sides[1]);
    if (configurations) {
        const Configuration_Files a = Read_Configuration(sides[0]);
        const Configuration_Files b = Read_Configuration(sides[1]);
        bool readable = true;
        for (const Configuration_Files* files : {&a, &b}) {
            for (const std::string& problem : files->problems) {
                err << "quillmaker-cli diff: " << files->folder << Lang(rt::Unreadable) << problem << "\n";
                readable = false;
            }
        }
        if (!readable) return 2;
        Print_Warnings(a, err);
        Print_Warnings(b, err);
        result = Diff_Configurations(a, b);
    }
    if (banks) {
        const Image_Side_Load a = Load_Image_Side(sides[0]);
        const Image_Side_Load b = Load_Image_Side(sides[1]);
        for (const Image_Side_Load* load : {&a, &b}) {
            if (!load->ok) {
                err << "quillmaker-cli diff: " << load->message << "\n";
                return 2;
            }
        }
        if (!Comparable(a.side, b.side)) {
            err << "quillmaker-cli diff: " << Lang(rt::Bank_Mismatch) << "\n";
            return 2;
        }
        const Diff_Result images = Diff_Images(a.side, b.side);
        result.Append(images);
        out << result.Text() << result.Summary() << "\n";
        // What the device would get decides: files that differ only where the builder does not
        // look build the same images.
        if (images.Identical() && !result.Identical()) out << Lang(rt::Images_Identical) << "\n";
        return images.Identical() ? 0 : 1;
    }
    out << result.Text() << result.Summary() << "\n";
    return result.Identical() ? 0 : 1;
}

} // namespace qm::cli
