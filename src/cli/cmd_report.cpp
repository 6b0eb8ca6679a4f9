// quillmaker-cli report <configuration-folder> [-o <file>] [--format html|pdf|text]
//                       [--language <name>] [--show-secrets]
//
// The printable record of a configuration: name, folder, date, version, every parameter with
// its label, the four lists, the result of the editors' checks and the images it builds into.
// Without -o the text form goes to standard output; with -o the format follows the file's
// extension unless --format names it. Passwords and the key show only as set or empty unless
// --show-secrets.
//
// Exit code: 0 written, 1 the output could not be written, 2 usage error or unreadable folder.

#include <optional>

#include "cli/commands.h"
#include "common/app_state.h"
#include "common/file_io.h"
#include "language/lang_table.h"
#include "review/report.h"
#include "review/review_common.h"
#include "review/review_texts.h"

#include "cli/pdf_module.h"

namespace qm::cli {
namespace {

namespace rt = review_text;

enum class Format { Text, Html, Pdf };

std::optional<Format> Format_Named(const std::string& name) {
    if (name == "text" || name == "txt") return Format::Text;
    if (name == "html" || name == "htm") return Format::Html;
    if (name == "pdf") return Format::Pdf;
    return std::nullopt;
}

Format Format_Of_File(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return Format::Text;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return Format_Named(extension).value_or(Format::Text);
}

// A language by name from LANGUAGE beside the program, or a .lng file by its path.
bool Load_Language(const std::string& language, std::ostream& err) {
    Load_Default_Strings();
    if (language.empty() || language == "English") return true;
    const bool is_path = language.find_first_of("/\\") != std::string::npos || language.ends_with(".lng");
    const std::string path =
        is_path ? language : Path_Join(Path_Join(Program_Dir(), "LANGUAGE"), language + ".lng");
    if (!File_Exists(path)) {
        err << "quillmaker-cli report: " << Lang(rt::No_Language) << path << "\n";
        return false;
    }
    const Language_Load_Result loaded = Load_Language_File(path);
    if (!loaded.ok) {
        err << "quillmaker-cli report: " << loaded.message << "\n";
        return false;
    }
    return true;
}

} // namespace

int Run_Report(const Args& args, std::ostream& out, std::ostream& err) {
    Load_Default_Strings();
    std::optional<std::string> folder;
    std::optional<std::string> output;
    std::optional<Format> format;
    std::string language;
    Report_Options options;
    auto usage = [&err] {
        err << Lang(rt::Report_Usage) << "\n";
        return 2;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool has_value = i + 1 < args.size();
        if ((arg == "-o" || arg == "--output") && has_value) {
            output = args[++i];
        } else if (arg == "--format" && has_value) {
            format = Format_Named(args[++i]);
            if (!format) {
                err << "quillmaker-cli report: " << Lang(rt::Bad_Format) << args[i] << "\n";
                return usage();
            }
        } else if (arg == "--language" && has_value) {
            language = args[++i];
        } else if (arg == "--show-secrets") {
            options.show_secrets = true;
        } else if (arg == "--help" || arg == "-h") {
            out << Lang(rt::Report_Usage) << "\n";
            return 0;
        } else if (arg.empty() || arg[0] == '-' || folder) {
            return usage();
        } else {
            folder = arg;
        }
    }
    if (!folder) return usage();
    if (!Load_Language(language, err)) return 2;
    if (!Dir_Exists(*folder)) {
        err << "quillmaker-cli report: " << Lang(rt::Not_Folder) << *folder << "\n";
        return 2;
    }
    // A report of defaults for any folder would pass for a configuration's.
    if (!Has_Configuration_Files(*folder)) {
        err << "quillmaker-cli report: " << *folder << Lang(rt::Not_Configuration) << "\n";
        return 2;
    }
    const Format chosen = format.value_or(output ? Format_Of_File(*output) : Format::Text);
    if (chosen == Format::Pdf && !output) {
        err << "quillmaker-cli report: " << Lang(rt::Pdf_Needs_Output) << "\n";
        return usage();
    }
#ifndef QM_CLI_PDF
    if (chosen == Format::Pdf) {
        err << "quillmaker-cli report: " << Lang(rt::No_Pdf) << "\n";
        return 2;
    }
#endif
    options.program_version = std::string(Program_Version) + " (quillmaker-cli " + QM_VERSION + ")";
    const Report report = Make_Report(*folder, options);

    if (chosen == Format::Pdf) {
        std::string message;
        if (!Write_Pdf_Through_Module(report, *output, message)) {
            err << "quillmaker-cli report: " << Lang(rt::Cannot_Write) << message << "\n";
            return 1;
        }
        return 0;
    }
    const std::string text = chosen == Format::Html ? Report_Html(report) : Report_Text(report);
    if (!output) {
        out << text;
        return 0;
    }
    if (const Io_Result written = Write_File_Atomic(*output, text); !written) {
        err << "quillmaker-cli report: " << Lang(rt::Cannot_Write) << written.message << "\n";
        return 1;
    }
    return 0;
}

} // namespace qm::cli
