#include "review/report.h"

#include <ctime>
#include <filesystem>
#include <memory>

#include "common/app_state.h"
#include "common/conversions.h"
#include "common/file_io.h"
#include "image/image_builder.h"
#include "language/lang_table.h"
#include "map/data_map.h"
#include "map/map_texts.h"
#include "parameters/par_gen_check.h"
#include "review/review_common.h"
#include "review/review_texts.h"
#include "review/sha256.h"
#include "tables/iec61850_variables.h"
#include "tables/table_check.h"
#include "tables/tls_known_cert.h"

namespace qm {

namespace rt = review_text;

namespace {

std::string Now_Text() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string Absolute(const std::string& folder) {
    std::error_code ec;
    const auto path = std::filesystem::absolute(std::filesystem::path(std::u8string(folder.begin(), folder.end())), ec);
    if (ec) return folder;
    const std::u8string text = path.lexically_normal().u8string();
    std::string out(text.begin(), text.end());
    while (out.size() > 1 && (out.back() == '/' || out.back() == '\\')) out.pop_back();
    return out;
}

std::string Name_Of(const std::string& absolute) {
    const auto slash = absolute.find_last_of("/\\");
    return slash == std::string::npos ? absolute : absolute.substr(slash + 1);
}

// Cells hold one line each; a stray line break inside a value is shown escaped.
std::string One_Line(const std::string& text) {
    if (text.find_first_of("\r\n\t") == std::string::npos) return text;
    const std::string quoted = Quoted(text);
    return quoted.substr(1, quoted.size() - 2);
}

std::string Set_Or_Empty(const std::string& value) { return Lang(value.empty() ? rt::Empty : rt::Set); }

Report_Section Header_Section(const std::string& folder, const Report_Options& options) {
    Report_Section s;
    const std::string absolute = Absolute(folder);
    s.facts = {
        {Lang(rt::Configuration), Name_Of(absolute)},
        {Lang(rt::Folder), absolute},
        {Lang(rt::Date_Time), options.date_time.empty() ? Now_Text() : options.date_time},
        {Lang(rt::Program_Version), options.program_version.empty() ? Program_Version : options.program_version},
        {Lang(rt::Software_Code), std::string(SW_Code) + " - " + SW_Desc},
    };
    s.lines.push_back(Lang(options.show_secrets ? rt::Secrets_Shown : rt::Secrets_Hidden));
    return s;
}

Report_Section Parameter_Section(const Configuration_Files& files, const Report_Options& options) {
    Report_Section s;
    s.title = Lang(rt::Parameters);
    if (!files.par_gen.file_found) s.lines.push_back(std::string(ParGen_Name) + ": " + Lang(rt::No_File));
    Report_Table table;
    table.header = {Lang(rt::Element), Lang(rt::Label), Lang(rt::Value)};
    for (const Par_Id id : All_Par_Ids()) {
        const std::string& value = files.par_gen.set[id];
        std::string shown;
        if (Is_Secret(id) && !options.show_secrets) {
            shown = Set_Or_Empty(value);
        } else if (Par_Def_Of(id).kind == Par_Kind::Multi_Line_Text) {
            // Certificates as their first and last line; the key, when shown, also whole below.
            shown = value.empty() ? Lang(rt::Empty) : Summary_Text(value);
            if (Is_Secret(id) && !value.empty()) s.blocks.emplace_back(Par_Label(id), value);
        } else {
            shown = One_Line(value);
        }
        table.rows.push_back({Par_Def_Of(id).element, Par_Label(id), shown});
        table.disabled.push_back(false);
    }
    s.tables.push_back(std::move(table));
    return s;
}

Report_Table List_Table(const Configuration_Files& files, Table_Id id) {
    const Table_Layout& def = Layout_Of(id);
    Report_Table table;
    table.title = Lang(def.title);
    const Table_Rows& rows = List_Rows(files, id);
    if (id == Table_Id::Certificates) {
        const auto title = [&def](int column) { return Lang(def.Column(column).title); };
        table.header = {Lang(def.number_title), title(Cert_Col::Enable),
                        title(Cert_Col::Certificate) + " - " + Lang(rt::First_Line), Lang(rt::Last_Line),
                        Lang(rt::Sha256), title(Cert_Col::Mnemonic)};
    } else {
        for (const int entry : def.Header_Entries()) table.header.push_back(Lang(entry));
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Table_Row& row = rows[r];
        const bool enabled = Row_Enabled(row);
        std::vector<std::string> cells;
        cells.push_back(std::to_string(r + 1) + (enabled ? "" : " (" + Lang(rt::Disabled) + ")"));
        if (id == Table_Id::Certificates) {
            const std::string certificate(Cell(row, Cert_Col::Certificate));
            const Text_Summary summary = Summarise(certificate);
            cells.push_back(std::string(Cell(row, Cert_Col::Enable)));
            cells.push_back(One_Line(summary.first_line));
            cells.push_back(One_Line(summary.last_line));
            cells.push_back(summary.sha256);
            cells.push_back(One_Line(std::string(Cell(row, Cert_Col::Mnemonic))));
        } else {
            for (const auto& cell : row) cells.push_back(One_Line(cell));
        }
        table.rows.push_back(std::move(cells));
        table.disabled.push_back(!enabled);
    }
    return table;
}

Report_Section Lists_Section(const Configuration_Files& files) {
    Report_Section s;
    s.title = Lang(21) + ", " + Lang(rt::Variables) + ", " + Lang(33);
    for (const Table_Id id : All_Tables) {
        s.tables.push_back(List_Table(files, id));
    }
    return s;
}

// The editors' checks in all-faults mode, in the windows' wording and order.
Report_Section Check_Section(const Configuration_Files& files) {
    Report_Section s;
    s.title = Lang(rt::Check_Result);
    for (const std::string& problem : files.problems) s.lines.push_back(Lang(rt::Read_Error) + problem);
    auto add = [&s](const char* file, const std::string& text) { s.lines.push_back(std::string(file) + ": " + text); };
    for (const Check_Fault& fault : par_gen::All_Faults(files.par_gen.set)) add(ParGen_Name, par_gen::Fault_Text(fault));
    for (const Check_Fault& fault : S7_Protocol_Faults(files.s7.data)) {
        add(S7_Protocol_Name, Fault_Text(fault, Table_Check::S7_Protocol));
    }
    for (const Check_Fault& fault : IEC61850_Variables_Faults(files.variables.rows, Get_Decimal_Separator())) {
        add(Variables_Name, Fault_Text(fault, Table_Check::IEC61850_Variables));
    }
    if (s.lines.empty()) s.lines.push_back(Lang(rt::No_Faults));
    // The lists above are what the device gets; where a window reads them otherwise, say so.
    for (const std::string& problem : files.window_problems) {
        s.lines.push_back(Lang(rt::Warning) + Lang(rt::Window_Reads) + problem);
    }
    for (const std::string& warning : files.warnings) s.lines.push_back(Lang(rt::Warning) + warning);
    return s;
}

// How the rules and the variables share the data arrays, as the device gets the lists.
Report_Section Map_Section(const Configuration_Files& files) {
    const Table_Rows& read = List_Rows(files, Table_Id::S7_Read);
    const Table_Rows& write = List_Rows(files, Table_Id::S7_Write);
    const Table_Rows& variables = List_Rows(files, Table_Id::Variables);
    const Data_Map map = Compute_Data_Map(read, write, variables);
    Report_Section s;
    s.title = Lang(map_text::Title);
    for (const Map_Finding& f : map.findings) s.lines.push_back(Finding_Line(f, read, write, variables));
    if (s.lines.empty()) s.lines.push_back(Lang(map_text::No_Findings));
    for (const Map_Note& note : map.notes) s.lines.push_back(Note_Text(note));
    Report_Picture picture;
    for (const Byte_Use& use : Data_Array_Use(map)) picture.cells.push_back(Byte_Colour(Kind_Of(use)));
    for (const auto& [kind, entry] : Legend_Items) picture.legend.emplace_back(Byte_Colour(kind), Lang(entry));
    s.pictures.push_back(std::move(picture));
    return s;
}

std::string Hex(std::uint32_t value, int digits) {
    static const char* const hex = "0123456789ABCDEF";
    std::string text;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) text += hex[(value >> shift) & 0xF];
    return "0x" + text;
}

Report_Section Image_Section(const std::string& folder) {
    Report_Section s;
    s.title = Lang(rt::Device_Images);
    auto image = std::make_unique<Device_Image>();
    const Build_Result built = Build_Device_Image(*image, Build_Files_In(folder));
    if (!built) {
        s.lines.push_back(Lang(rt::Does_Not_Build) + built.message);
        return s;
    }
    const std::uint32_t checksum = image->Block.U32(Param_Offset::Block_Checksum);
    s.facts.emplace_back(Lang(rt::Block_Checksum), std::to_string(checksum) + " (" + Hex(checksum, 8) + ")");
    Report_Table table;
    table.header = {Lang(rt::File), Lang(rt::Size_Bytes), Lang(rt::Device_Address), Lang(rt::Sha256)};
    const std::uint32_t addresses[3] = {Bank1_Device_Address, Bank2_Device_Address, Bank3_Device_Address};
    for (std::size_t i = 0; i < 3; ++i) {
        const Image_Buffer& bank = image->Banks[i];
        const std::string_view bytes(reinterpret_cast<const char*>(bank.data()), bank.length);
        table.rows.push_back({Bank_File_Names[i], std::to_string(bank.length), Hex(addresses[i], 5), Sha256_Hex(bytes)});
        table.disabled.push_back(false);
    }
    s.tables.push_back(std::move(table));
    return s;
}

} // namespace

Report Make_Report(const std::string& folder, const Report_Options& options) {
    const Configuration_Files files = Read_Configuration(folder);
    Report report;
    report.title = Lang(rt::Report_Title);
    report.page = Lang(305);
    report.page_of = Lang(306);
    report.none = Lang(rt::None);
    Report_Section header = Header_Section(folder, options);
    report.configuration_name = header.facts.front().second;
    report.sections.push_back(std::move(header));
    report.sections.push_back(Parameter_Section(files, options));
    report.sections.push_back(Lists_Section(files));
    report.sections.push_back(Check_Section(files));
    report.sections.push_back(Map_Section(files));
    report.sections.push_back(Image_Section(folder));
    return report;
}

} // namespace qm
