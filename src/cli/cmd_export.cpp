// quillmaker-cli export <configuration-folder> <table> [<file>] [--separator , | ; | tab]
//
// Writes one list of a configuration as a CSV file, exactly as its window would save it: UTF-8
// with a byte-order mark, a header line of the XML attribute names, CRLF line ends, RFC 4180
// quoting. The separator is ',' unless --separator says otherwise or the file ends in .tsv or
// .txt (tab). A file ending in .xlsx is an Excel workbook with the same cells and a drop-down
// on every list column. Without a file the bytes (CSV) go to stdout; with one, one line on
// stdout says what was exported.
//
// Exit code: 0 exported, 1 the file could not be written, 2 usage or an XML file that cannot be
// read completely (nothing is exported from a list that would come out incomplete).

#include "cli/commands.h"

#include "common/file_io.h"
#include "language/lang_table.h"
#include "tables/table_exchange.h"

namespace qm::cli {
namespace {

void Usage(std::ostream& err) {
    err << "usage: quillmaker-cli export <configuration-folder> <table> [<file>] [--separator , | ; | tab]\n"
           "  <table>     s7-read, s7-write, variables or certificates\n"
           "  <file>      where to write (.xlsx: an Excel workbook); stdout without one\n";
}

} // namespace

int Run_Export(const Args& args, std::ostream& out, std::ostream& err) {
    std::optional<char> separator;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--separator" || arg == "-s") {
            const std::string value = i + 1 < args.size() ? args[++i] : std::string();
            if (value == "," || value == ";") {
                separator = value[0];
            } else if (value == "tab" || value == "\t") {
                separator = '\t';
            } else {
                err << "quillmaker-cli export: --separator takes ',', ';' or 'tab'\n";
                return 2;
            }
        } else if (arg == "--help" || arg == "-h") {
            Usage(out);
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << "quillmaker-cli export: unknown option '" << arg << "'\n";
            Usage(err);
            return 2;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() < 2 || positional.size() > 3 || positional[0].empty() ||
        (positional.size() == 3 && positional[2].empty())) {
        Usage(err);
        return 2;
    }
    const std::string& folder = positional[0];
    const std::optional<Exchange_Table> table = Exchange_Table_Named(positional[1]);
    if (!table) {
        err << "quillmaker-cli export: unknown table '" << positional[1]
            << "' (s7-read, s7-write, variables or certificates)\n";
        return 2;
    }
    if (!Dir_Exists(folder)) {
        err << "quillmaker-cli export: " << folder << ": no such configuration folder\n";
        return 2;
    }
    Load_Default_Strings();

    const Configuration_Table read = Read_Configuration_Table(folder, *table);
    if (!read.info.complete || read.info.status == Xml_Load_Status::Unreadable) {
        for (const std::string& problem : read.info.problems) {
            err << "quillmaker-cli export: " << problem << "\n";
        }
        return 2;
    }
    const std::string file = positional.size() == 3 ? positional[2] : std::string();
    if (Separator_Contradicts_Name(file, separator)) {
        err << "quillmaker-cli export: " << file << " is a tab-separated name; --separator "
            << *separator << " would write something else (use a .csv name, or --separator tab)\n";
        return 2;
    }
    const bool workbook = Is_Workbook_Path(file);
    if (workbook && separator) {
        err << "quillmaker-cli export: " << file << " is an Excel workbook, which has no separator\n";
        return 2;
    }
    std::string bytes;
    if (workbook) {
        Workbook_Export exported = Export_Workbook(*table, read.rows);
        if (!exported.ok()) {
            err << "quillmaker-cli export: " << file << ": " << exported.error << "\n";
            return Workbooks_Supported() ? 1 : 2;
        }
        bytes = std::move(exported.bytes);
    } else {
        bytes = Export_Table(*table, read.rows, Export_Separator(file, separator));
    }
    if (file.empty()) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        return out ? 0 : 1;
    }
    if (const Io_Result written = Write_File_Atomic(file, bytes); !written) {
        err << "quillmaker-cli export: " << written.message << "\n";
        return 1;
    }
    const int rows = List_Length(read.rows, Exchange_Key_Column(*table), Exchange_Capacity(*table));
    out << Lang(1096) << rows << Lang(1097) << Exchange_Table_Name(*table) << Lang(1098) << Base_Name(read.xml_path)
        << Lang(1092) << file << "\n";
    return 0;
}

} // namespace qm::cli
