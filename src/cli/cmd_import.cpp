// quillmaker-cli import <configuration-folder> <table> <file> [--append]
//
// Reads a CSV/TSV file or an Excel workbook (told by its first bytes, "PK"; the sheet named
// after the table, else the first) into one list of a configuration and
// writes that list's XML file as the window's OK does. Replaces the list unless --append is
// given, which adds the rows after the last row of the list. A file with any error or fault
// changes nothing.
//
// Output: on success one line on stdout saying how many rows went where. Otherwise, on stderr,
// one line per error and fault ("<file>: line 7: ...", "row 7: " for a workbook's sheet, the faults in the window's exact
// wording; "<xml file>: ..." for a fault of a rule that was not in the file) and a last line.
//
// Exit code: 0 imported, 1 errors or faults (all listed) or the write failed, 2 usage, a file or
// folder that cannot be read, or a list file that cannot be read completely (nothing is written).

#include "cli/commands.h"

#include "common/conversions.h"
#include "common/file_io.h"
#include "common/file_texts.h"
#include "language/lang_table.h"
#include "tables/exchange_texts.h"
#include "tables/table_exchange.h"

namespace qm::cli {
namespace {

void Usage(std::ostream& err) {
    err << "usage: quillmaker-cli import <configuration-folder> <table> <file> [--append]\n"
           "  <table>     s7-read, s7-write, variables or certificates\n"
           "  --append    add the rows after the last row of the list instead of replacing it\n";
}

} // namespace

int Run_Import(const Args& args, std::ostream& out, std::ostream& err) {
    Import_Mode mode = Import_Mode::Replace;
    std::vector<std::string> positional;
    for (const std::string& arg : args) {
        if (arg == "--append") {
            mode = Import_Mode::Append;
        } else if (arg == "--help" || arg == "-h") {
            Usage(out);
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << "quillmaker-cli import: unknown option '" << arg << "'\n";
            Usage(err);
            return 2;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 3 || positional[0].empty() || positional[2].empty()) {
        Usage(err);
        return 2;
    }
    const std::string& folder = positional[0];
    const std::string& file = positional[2];
    const std::optional<Exchange_Table> table = Exchange_Table_Named(positional[1]);
    if (!table) {
        err << "quillmaker-cli import: unknown table '" << positional[1]
            << "' (s7-read, s7-write, variables or certificates)\n";
        return 2;
    }
    if (!Dir_Exists(folder)) {
        err << "quillmaker-cli import: " << folder << ": no such configuration folder\n";
        return 2;
    }
    // The messages are the windows' English defaults, whatever language the program uses.
    Load_Default_Strings();

    std::string bytes;
    if (const std::optional<std::string> problem = Read_Exchange_File(file, bytes)) {
        err << "quillmaker-cli import: " << file << ": " << *problem << "\n";
        return 2;
    }
    const Configuration_Import imported =
        Import_Into_Configuration(folder, *table, bytes, mode, Get_Decimal_Separator());
    const std::string xml = Base_Name(imported.before.xml_path);
    if (imported.unreadable) {
        for (const std::string& problem : imported.before.info.problems) {
            err << "quillmaker-cli import: " << problem << "\n";
        }
        err << "quillmaker-cli import: " << xml << ": " << Lang(exchange_text::Not_Read_Completely) << "\n";
        return 2;
    }
    for (const std::string& problem : imported.before.info.problems) {
        err << xml << ": read error: " << problem << "\n";
    }
    const Import_Result& result = imported.result;
    if (!result.ok()) {
        for (const Exchange_Error& error : result.errors) {
            err << file << ": " << error.text << "\n";
        }
        for (const Import_Fault& fault : result.faults) {
            if (fault.line > 0) {
                err << file << ": " << With_Place(result.sheet_rows, fault.line, fault.text) << "\n";
            } else {
                err << xml << ": " << fault.text << "\n";
            }
        }
        const std::size_t faults = result.faults.size();
        err << Lang(1082) << result.error_count << Lang(result.error_count == 1 ? exchange_text::Error_And : 1083) << faults
            << Lang(faults == 1 ? exchange_text::Fault : 1084) << "\n";
        return 1;
    }
    if (imported.changed_meanwhile) {
        err << "quillmaker-cli import: " << imported.before.xml_path << Lang(file_text::Changed_Meanwhile) << "\n";
        return 2;
    }
    if (!imported.written && !(mode == Import_Mode::Append && result.imported == 0)) {
        err << "quillmaker-cli import: " << imported.saved.message << "\n";
        return 1;
    }
    if (!imported.saved.message.empty()) {
        err << imported.saved.message << "\n";
    }
    const std::string head = xml + Lang(1085) + std::string(Exchange_Table_Name(*table));
    const std::string source = Base_Name(file);
    if (result.imported == 0) {
        if (mode == Import_Mode::Append) {
            out << head << Lang(1093) << source << Lang(1095) << "\n";
        } else {
            out << head << Lang(1093) << source << Lang(1094) << result.before << Lang(1099) << "\n";
        }
    } else if (mode == Import_Mode::Append) {
        out << head << Lang(1090) << source << Lang(1091) << result.first_row << Lang(1092)
            << result.first_row + result.imported - 1 << "\n";
    } else {
        out << head << Lang(1086) << result.imported << Lang(1087) << source << Lang(1088) << result.before
            << Lang(1089) << "\n";
    }
    return 0;
}

} // namespace qm::cli
