// quillmaker-cli diff <folder-A> <folder-B> [--banks]
//
// Every difference between two configurations, one line each, grouped by file, A being the
// older side ("old -> new"): parameters by element and label, list rows by number and column,
// rows added or removed aligned as a line diff aligns lines. Secrets show only as changed.
// With --banks both sides are also built in memory (or read, for a bin folder or a bank file)
// and their images compared field by field with device addresses. A summary line ends the output.
//
// Exit code: 0 identical, 1 different, 2 usage error or unreadable input.

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

bool Has_Bank_Files(const std::string& dir) {
    for (const char* name : {"bank1.bin", "bank2.bin", "bank3.bin"}) {
        if (File_Exists(Path_Join(dir, name))) return true;
    }
    return false;
}

// A configuration folder: a folder that is not a bin folder of bank files alone.
bool Is_Configuration(const std::string& path) {
    return Dir_Exists(path) && (Has_Configuration_Files(path) || !Has_Bank_Files(path));
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
    for (const std::string& side : sides) {
        if (!File_Exists(side) && !Dir_Exists(side)) {
            err << "quillmaker-cli diff: " << side << Lang(rt::Not_A_Side) << "\n";
            return 2;
        }
        if (!banks && !Is_Configuration(side)) {
            err << "quillmaker-cli diff: " << side << Lang(rt::Bank_Needs_Banks) << "\n";
            return 2;
        }
    }

    Diff_Result result;
    if (Is_Configuration(sides[0]) && Is_Configuration(sides[1])) {
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
        result.Append(Diff_Images(a.side, b.side));
    }
    out << result.Text() << result.Summary() << "\n";
    return result.Identical() ? 0 : 1;
}

} // namespace qm::cli
