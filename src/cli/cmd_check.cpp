// quillmaker-cli check <configuration-folder>
//
// Reads the four files of a configuration as the editors do and runs the checks behind their
// OK buttons. Output on stdout, one block per file in the order of the main window's steps:
//
//   <file>[ (<contents>)]: <verdict>        heading; never starts with a blank
//   <file>: read error: <reason>            the file was not read completely (one line each)
//     <message>                             a fault: two blanks, then exactly the text of the
//                                           window's error box
//
// then a "warning: " line for each row that the device gets otherwise than its window reads it
// (a row after a blank key, an Enable that is neither "Y" nor "N"), then one summary line. For the parameters every failing field is listed; for the tables
// every faulty enabled row, with the first failing check of that row. The first fault line of
// a file is what that window's OK would show. The messages alone: sed -n 's/^  //p'
//
// Exit code: 0 all well, 1 a fault or a read error, 2 usage error or unreadable folder.

#include <filesystem>
#include <optional>

#include "cli/commands.h"
#include "common/conversions.h"
#include "common/file_io.h"
#include "language/lang_table.h"
#include "parameters/par_gen.h"
#include "parameters/par_gen_check.h"
#include "review/review_common.h"
#include "review/review_texts.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/table_check.h"
#include "tables/tls_known_cert.h"

namespace qm::cli {
namespace {

struct File_Report {
    std::string file;                  // file name within the configuration
    std::string contents;              // what the file held, for the heading; empty when nothing to say
    bool missing = false;
    std::vector<std::string> problems; // read errors
    std::vector<std::string> faults;   // message texts, in the windows' order
};

std::string Count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void Print(const File_Report& report, std::ostream& out) {
    out << report.file;
    if (!report.missing && !report.contents.empty()) {
        out << " (" << report.contents << ")";
    }
    out << ": ";
    if (report.missing) {
        out << "no file, ";
    }
    if (!report.problems.empty()) {
        out << "not read completely, ";
    }
    out << (report.faults.empty() ? std::string("ok") : Count(report.faults.size(), "fault", "faults")) << "\n";
    for (const std::string& problem : report.problems) {
        out << report.file << ": read error: " << problem << "\n";
    }
    for (const std::string& fault : report.faults) {
        out << "  " << fault << "\n";
    }
}

File_Report Check_Par_Gen(const std::string& folder) {
    File_Report report{"ParGen.xml", {}, false, {}, {}};
    const Par_Gen_Read read = Read_Par_Gen(Path_Join(folder, report.file));
    report.missing = !read.file_found;
    if (!read.complete) {
        report.problems.push_back(read.message);
    }
    for (const Check_Fault& fault : par_gen::All_Faults(read.set)) {
        report.faults.push_back(par_gen::Fault_Text(fault));
    }
    return report;
}

void Take_Read_Info(const Table_Read_Info& info, File_Report& report) {
    report.missing = info.status == Xml_Load_Status::Missing;
    report.problems = info.problems;
}

File_Report Check_S7(const std::string& folder) {
    File_Report report{"S7_Protocol.xml", {}, false, {}, {}};
    const S7_Protocol_Read_Result read = Read_S7_Protocol_File(Path_Join(folder, report.file));
    Take_Read_Info(read.info, report);
    report.contents =
        Count(static_cast<std::size_t>(List_Length(read.data.Read, S7_Read_Col::PLC_Address, S7_Rows)), "read rule",
              "read rules") +
        ", " +
        Count(static_cast<std::size_t>(List_Length(read.data.Write, S7_Write_Col::PLC_Address, S7_Rows)),
              "write rule", "write rules");
    for (const Check_Fault& fault : S7_Protocol_Faults(read.data)) {
        report.faults.push_back(Fault_Text(fault, Table_Check::S7_Protocol));
    }
    return report;
}

File_Report Check_Variables(const std::string& folder) {
    File_Report report{"IEC61850_Variables.xml", {}, false, {}, {}};
    const Table_Read_Result read = Read_IEC61850_Variables_File(Path_Join(folder, report.file));
    Take_Read_Info(read.info, report);
    report.contents = Count(static_cast<std::size_t>(List_Length(read.rows, Var_Col::Name, Variable_Rows)),
                            "variable", "variables");
    for (const Check_Fault& fault : IEC61850_Variables_Faults(read.rows, Get_Decimal_Separator())) {
        report.faults.push_back(Fault_Text(fault, Table_Check::IEC61850_Variables));
    }
    return report;
}

// The certificate list has no check; reading it still tells whether the file is sound.
File_Report Check_Certificates(const std::string& folder) {
    File_Report report{"TLS_Known_Cert.xml", {}, false, {}, {}};
    const Table_Read_Result read = Read_TLS_Known_Cert_File(Path_Join(folder, report.file));
    Take_Read_Info(read.info, report);
    report.contents = Count(static_cast<std::size_t>(List_Length(read.rows, Cert_Col::Certificate, Cert_Rows)),
                            "certificate", "certificates");
    return report;
}

// Empty when the folder can be listed; otherwise why not.
std::optional<std::string> Folder_Problem(const std::string& folder) {
    if (!Dir_Exists(folder)) {
        return folder + ": not a folder";
    }
    std::error_code ec;
    const std::filesystem::directory_iterator listing(std::filesystem::path(std::u8string(folder.begin(), folder.end())), ec);
    if (ec) {
        return folder + ": cannot be read (" + ec.message() + ")";
    }
    return std::nullopt;
}

} // namespace

int Run_Check(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1 || args[0].empty()) {
        err << "usage: quillmaker-cli check <configuration-folder>\n";
        return 2;
    }
    const std::string& folder = args[0];
    if (const auto problem = Folder_Problem(folder)) {
        err << "quillmaker-cli check: " << *problem << "\n";
        return 2;
    }
    // The messages are the windows' English defaults, whatever language the program uses.
    Load_Default_Strings();

    const File_Report reports[] = {Check_Par_Gen(folder), Check_S7(folder), Check_Variables(folder),
                                   Check_Certificates(folder)};
    std::size_t faults = 0;
    std::size_t problems = 0;
    for (const File_Report& report : reports) {
        Print(report, out);
        faults += report.faults.size();
        problems += report.problems.size();
    }
    // Not faults: the windows and the device simply read these rows differently.
    for (const std::string& warning : Read_Configuration(folder).warnings) {
        out << Lang(review_text::Warning) << warning << "\n";
    }
    if (faults == 0 && problems == 0) {
        out << "All well: " << folder << " passes every check.\n";
        return 0;
    }
    out << Count(faults, "fault", "faults") << " and " << Count(problems, "read error", "read errors") << " in "
        << folder << ".\n";
    return 1;
}

} // namespace qm::cli
