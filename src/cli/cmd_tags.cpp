// quillmaker-cli tags <configuration-folder> <file> --plc A.B.C.D [options]
//
// Reads a file of the PLC's engineering project (a tag table as XML or .xlsx, a symbol table as
// SDF, SEQ or ASC, a DB source with standard access) and appends one S7comm rule per tag to the
// read or the write list of S7_Protocol.xml, at free positions of the data array; with
// --variables also one read-only IEC 61850 variable per new read rule. The result passes the
// windows' checks and the data map shows no overlap, or nothing is written.
//
// Output: the new rules, one line each, the tags left out with their reasons, and a last line
// saying what was added (or, with --dry-run, what would be). Errors on stderr, each naming the
// file and the line.
//
// Exit code: 0 added (or would be), 1 errors or faults (nothing written), 2 usage, a file or
// folder that cannot be read, or a list file that cannot be read completely or changed meanwhile.

#include "cli/commands.h"

#include <algorithm>

#include "common/conversions.h"
#include "common/file_io.h"
#include "common/file_texts.h"
#include "language/lang_strings.h"
#include "language/lang_table.h"
#include "tables/exchange_texts.h"
#include "tables/table_exchange.h"
#include "tags/tag_rules.h"
#include "tags/tags_texts.h"

namespace qm::cli {
namespace {

namespace tt = tags_text;

void Usage(std::ostream& err) {
    err << "usage: quillmaker-cli tags <configuration-folder> <file> --plc A.B.C.D [--port 102] [--type S71500]\n"
           "         [--rack 0] [--slot 1] [--poll 1000] [--list read|write] [--db N] [--first-position N]\n"
           "         [--variables] [--dry-run]\n"
           "  <file>            a tag table (XML or .xlsx), a symbol table (SDF, SEQ, ASC) or a DB source\n"
           "  --plc             the PLC's IPv4 address, for every new rule\n"
           "  --type            Logo0BA8, S7200, S7300, S7400, S71200 or S71500\n"
           "  --list            the list the rules go to (read)\n"
           "  --db              the DB number of a DB source whose block has none\n"
           "  --first-position  the first Position to take (after the list's highest one)\n"
           "  --variables       also a read-only IEC 61850 variable per new read rule\n"
           "  --dry-run         show what would be added; write nothing\n";
}

bool Is_Number(const std::string& text) {
    return !text.empty() && text.size() <= 9 && std::all_of(text.begin(), text.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
}

// The cells of a new rule that tell where it reads, as attribute=value.
std::string Rule_Line(const Table_Row& row, int number, bool write) {
    const Table_Layout& layout = Layout_Of(write ? Table_Id::S7_Write : Table_Id::S7_Read);
    const int position = write ? int{S7_Write_Col::Position} : int{S7_Read_Col::Position};
    std::string line = "  " + Lang(1549) + std::to_string(number) + ":";
    for (const int column : {layout.Field_Count(), int{S7_Read_Col::Data_Type}, int{S7_Read_Col::Data_Identifier},
                             int{S7_Read_Col::DB_Number}, int{S7_Read_Col::PLC_Area}, int{S7_Read_Col::PLC_Add},
                             int{S7_Read_Col::PLC_Bit}, position, position + 1}) {
        line += std::string(" ") + layout.Column(column).attribute + "=" + std::string(Cell(row, column));
    }
    return line;
}

} // namespace

int Run_Tags(const Args& args, std::ostream& out, std::ostream& err) {
    Tag_Import_Options options;
    bool dry_run = false;
    long db = 0;
    bool have_plc = false;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                err << "quillmaker-cli tags: " << arg << " needs a value\n";
                return false;
            }
            into = args[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            Usage(out);
            return 0;
        } else if (arg == "--dry-run") {
            dry_run = true;
        } else if (arg == "--variables") {
            options.variables = true;
        } else if (arg == "--plc") {
            if (!value(options.plc_address)) {
                return 2;
            }
            have_plc = true;
        } else if (arg == "--port" || arg == "--rack" || arg == "--slot" || arg == "--poll") {
            if (!value(text)) {
                return 2;
            }
            if (!Is_Number(text)) {
                err << "quillmaker-cli tags: " << arg << " takes a number, not '" << text << "'\n";
                return 2;
            }
            (arg == "--port" ? options.port : arg == "--rack" ? options.rack : arg == "--slot" ? options.slot
                                                                                              : options.poll_time) = text;
        } else if (arg == "--type") {
            if (!value(options.plc_type)) {
                return 2;
            }
            if (std::find(PLC_Type_Items.begin(), PLC_Type_Items.end(), options.plc_type) == PLC_Type_Items.end()) {
                err << "quillmaker-cli tags: unknown PLC type '" << options.plc_type << "'\n";
                return 2;
            }
        } else if (arg == "--list") {
            if (!value(text)) {
                return 2;
            }
            if (text != "read" && text != "write") {
                err << "quillmaker-cli tags: --list takes read or write, not '" << text << "'\n";
                return 2;
            }
            options.write_list = text == "write";
        } else if (arg == "--db" || arg == "--first-position") {
            if (!value(text)) {
                return 2;
            }
            if (!Is_Number(text)) {
                err << "quillmaker-cli tags: " << arg << " takes a number, not '" << text << "'\n";
                return 2;
            }
            if (arg == "--db") {
                db = std::stol(text);
            } else {
                options.first_position = std::stoi(text);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << "quillmaker-cli tags: unknown option '" << arg << "'\n";
            Usage(err);
            return 2;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2 || positional[0].empty() || positional[1].empty() || !have_plc) {
        Usage(err);
        return 2;
    }
    // The messages are the windows' English defaults, whatever language the program uses.
    Load_Default_Strings();
    if (options.variables && options.write_list) {
        err << "quillmaker-cli tags: " << Lang(tt::Variables_Need_Read) << "\n";
        return 2;
    }
    const std::string& folder = positional[0];
    const std::string& file = positional[1];
    if (!Dir_Exists(folder)) {
        err << "quillmaker-cli tags: " << folder << ": no such configuration folder\n";
        return 2;
    }
    std::string bytes;
    if (const std::optional<std::string> problem = Read_Exchange_File(file, bytes)) {
        err << "quillmaker-cli tags: " << file << ": " << *problem << "\n";
        return 2;
    }
    const Tag_Configuration_Import imported = Import_Tags_Into_Configuration(folder, bytes, db, options, dry_run);
    const std::string xml = Base_Name(Path_Join(folder, Layout_Of(Table_Id::S7_Read).file));
    if (!imported.problems.empty()) {
        for (const std::string& problem : imported.problems) {
            err << "quillmaker-cli tags: " << problem << "\n";
        }
        err << "quillmaker-cli tags: " << Lang(exchange_text::Not_Read_Completely) << "\n";
        return 2;
    }
    const auto fail = [&](const std::vector<Tag_Error>& errors) {
        // A hostile file may hold an error on every line: the first hundred say enough.
        const std::size_t shown = std::min<std::size_t>(errors.size(), 100);
        for (std::size_t i = 0; i < shown; ++i) {
            err << file << ": " << With_Line(errors[i].line, errors[i].text) << "\n";
        }
        if (errors.size() > shown) {
            err << file << ": ... (" << errors.size() - shown << ")\n";
        }
        err << Lang(tt::Nothing_Written) << "\n";
        return 1;
    };
    if (!imported.read.ok()) {
        return fail(imported.read.errors);
    }
    if (!imported.rules.ok()) {
        return fail(imported.rules.errors);
    }
    for (const Left_Out_Tag& left : imported.read.left_out) {
        out << Lang(tt::Left_Out) << With_Line(left.line, left.name + ": " + left.reason) << "\n";
    }
    if (!imported.merge.ok()) {
        for (const std::string& fault : imported.merge.faults) {
            err << xml << ": " << fault << "\n";
        }
        err << Lang(tt::Nothing_Written) << "\n";
        return 1;
    }
    if (imported.changed_meanwhile) {
        err << "quillmaker-cli tags: " << Path_Join(folder, xml) << Lang(file_text::Changed_Meanwhile) << "\n";
        return 2;
    }
    const std::size_t added = imported.rules.rules.size();
    if (!dry_run && added > 0 && !imported.written) {
        err << "quillmaker-cli tags: " << imported.write_error << "\n";
        return 1;
    }
    for (std::size_t i = 0; i < added; ++i) {
        out << Rule_Line(imported.rules.rules[i], imported.merge.first_row + static_cast<int>(i), options.write_list)
            << "\n";
    }
    const std::string verb = Lang(dry_run ? tt::Would_Add : tt::Added);
    out << verb << added << Lang(tt::Rules_To) << Lang(options.write_list ? tt::Write_List : tt::Read_List) << " ("
        << xml << ")";
    if (added > 0) {
        out << Lang(tt::Rows) << imported.merge.first_row << Lang(tt::To)
            << imported.merge.first_row + static_cast<int>(added) - 1;
    }
    out << "\n";
    if (imported.merge.first_variable > 0) {
        const std::size_t variables = imported.rules.variables.size();
        out << verb << variables << Lang(tt::Variables_Added) << Layout_Of(Table_Id::Variables).file << Lang(tt::Rows)
            << imported.merge.first_variable << Lang(tt::To)
            << imported.merge.first_variable + static_cast<int>(variables) - 1 << "\n";
    }
    return 0;
}

} // namespace qm::cli
