#include "instruction_check.h"

#include <array>
#include <filesystem>
#include <string_view>

#include "common/conversions.h"
#include "common/file_io.h"
#include "common/xml_io.h"

namespace qm::standin {
namespace {

struct Image_Kind {
    const char* file_name;
    const char* image;
    std::uint32_t start_address;
    const char* bank_type;
    std::uint64_t min_size;
    std::uint64_t max_size;
};

// What the converter's memory map allows for each file: the banks have fixed sizes except bank 3,
// which must at least hold its text area, header and string terminator and fit its 128 KiB buffer;
// the firmware must end before bank 2 starts.
constexpr std::array<Image_Kind, 4> Images{{
    {"Sim39174.sim", "firmware", 0x8000, "1", 1, 0x80000 - 0x8000},
    {"bank1.bin", "bank 1", 0x07000, "2", 2048, 2048},
    {"bank2.bin", "bank 2", 0x80000, "2", 28672, 28672},
    {"bank3.bin", "bank 3", 0xA0000, "2", 1024 + 54 + 1, 131072},
}};

constexpr std::array<const char*, 9> Header_Elements{
    "Version",       "Title",         "IP_Address_Dev", "Application_Port", "Boot_Port",
    "Boot_Port_Sec", "Address_Protection", "Protections", "Operations"};

constexpr std::array<const char*, 20> Operation_Elements{
    "Ope_Protection_Enabled", "Ope_GoToBoot_Before", "Ope_GoToApp_Before", "Ope_IP_Address",
    "Ope_Port",               "Ope_Port_Sec",        "Ope_Erase_Memory",   "Ope_FileName",
    "Ope_Start_Address",      "Ope_Memory_Type",     "Ope_Bank_Type",      "Ope_Read_Back",
    "Ope_Write_CSS",          "Ope_Address_CSS",     "Ope_Command_CSS",    "Ope_Write_Internal_Data",
    "Ope_WID_Address",        "Ope_WID_Command",     "Ope_WID_Data",       "Ope_GoToApp_After"};

std::vector<pugi::xml_node> Element_Children(pugi::xml_node node) {
    std::vector<pugi::xml_node> children;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) {
            children.push_back(child);
        }
    }
    return children;
}

// The file name after the last separator of either platform: the file may come from Windows.
std::string Base_Name(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool Is_Flag(std::string_view text) {
    return text == "0" || text == "1";
}

std::string Hex(std::uint64_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

class Checker {
public:
    explicit Checker(std::string path) : path_(std::move(path)) {}

    Instruction_Report Run() {
        report_.ok = Check();
        return report_;
    }

private:
    bool Fail(const std::string& problem) {
        report_.problem = path_ + ": " + problem;
        return false;
    }

    bool Check() {
        pugi::xml_document doc;
        const Xml_Load_Result loaded = Load_Xml_File(path_, doc);
        if (loaded.status == Xml_Load_Status::Missing) {
            return Fail("not found");
        }
        if (!loaded.ok()) {
            report_.problem = loaded.message;
            return false;
        }
        const pugi::xml_node root = First_Node(doc);
        if (root.type() != pugi::node_element || std::string_view(root.name()) != "Ethernet_Update") {
            return Fail("the root element is not Ethernet_Update");
        }
        const std::vector<pugi::xml_node> header = Element_Children(root);
        for (std::size_t i = 0; i < Header_Elements.size(); ++i) {
            if (i >= header.size() || std::string_view(header[i].name()) != Header_Elements[i]) {
                return Fail(std::string("element ") + std::to_string(i + 1) + " of Ethernet_Update must be " +
                            Header_Elements[i]);
            }
        }
        if (header.size() > Header_Elements.size()) {
            return Fail(std::string("unexpected element ") + header[Header_Elements.size()].name() +
                        " after Operations");
        }
        if (std::string_view(header[0].text().get()) != "1000") {
            return Fail(std::string("Version is \"") + header[0].text().get() + "\", this tool reads 1000");
        }
        report_.device = header[2].text().get();
        if (!Check_IP_Address(report_.device).valid) {
            return Fail("IP_Address_Dev \"" + report_.device + "\" is not an IPv4 address");
        }
        for (std::size_t i : {std::size_t{3}, std::size_t{4}, std::size_t{5}}) {
            const std::int32_t port = Text_To_Int(header[i].text().get(), -1);
            if (port < 1 || port > 65535) {
                return Fail(std::string(header[i].name()) + " \"" + header[i].text().get() +
                            "\" is not a port number (1 to 65535)");
            }
        }
        report_.boot_port = header[4].text().get();
        if (!header[7].child("Protection")) {
            return Fail("Protections has no Protection");
        }
        const std::vector<pugi::xml_node> operations = Element_Children(header[8]);
        if (operations.empty()) {
            return Fail("Operations holds no Operation: nothing to transfer");
        }
        for (std::size_t i = 0; i < operations.size(); ++i) {
            if (!Check_Operation(operations[i], i + 1)) {
                return false;
            }
        }
        // The device starts its application after the transfer that says so: that must be the last.
        for (std::size_t i = 0; i + 1 < report_.transfers.size(); ++i) {
            if (report_.transfers[i].go_to_app_after) {
                return Fail("Operation " + std::to_string(i + 1) +
                            " starts the application although transfers follow it");
            }
        }
        if (!report_.transfers.back().go_to_app_after) {
            return Fail("the last Operation does not start the application (Ope_GoToApp_After is not 1)");
        }
        return true;
    }

    bool Check_Operation(pugi::xml_node op, std::size_t number) {
        const std::string where = "Operation " + std::to_string(number);
        if (std::string_view(op.name()) != "Operation") {
            return Fail("unexpected element " + std::string(op.name()) + " in Operations");
        }
        const std::vector<pugi::xml_node> fields = Element_Children(op);
        for (std::size_t i = 0; i < Operation_Elements.size(); ++i) {
            if (i >= fields.size() || std::string_view(fields[i].name()) != Operation_Elements[i]) {
                return Fail(where + ": element " + std::to_string(i + 1) + " must be " + Operation_Elements[i]);
            }
        }
        if (fields.size() > Operation_Elements.size()) {
            return Fail(where + ": unexpected element " + fields[Operation_Elements.size()].name());
        }
        auto text = [&fields](std::size_t index) { return std::string(fields[index].text().get()); };

        Transfer transfer;
        transfer.file = text(7);
        const std::string base = Upper_Ascii(Base_Name(transfer.file));
        const Image_Kind* kind = nullptr;
        for (const Image_Kind& image : Images) {
            if (base == Upper_Ascii(image.file_name)) {
                kind = &image;
            }
        }
        if (!kind) {
            return Fail(where + ": Ope_FileName \"" + transfer.file +
                        "\" is none of Sim39174.sim, bank1.bin, bank2.bin, bank3.bin");
        }
        transfer.image = kind->image;
        for (const Transfer& earlier : report_.transfers) {
            if (earlier.image == transfer.image) {
                return Fail(where + ": " + transfer.image + " is transferred twice");
            }
        }
        const std::int32_t start = Text_To_Int(text(8), -1);
        if (start < 0 || static_cast<std::uint32_t>(start) != kind->start_address) {
            return Fail(where + ": Ope_Start_Address \"" + text(8) + "\" is not the device address of the " +
                        kind->image + " (" + Hex(kind->start_address) + ")");
        }
        transfer.start_address = kind->start_address;
        if (text(10) != kind->bank_type) {
            return Fail(where + ": Ope_Bank_Type \"" + text(10) + "\" should be " + kind->bank_type + " for the " +
                        kind->image);
        }
        if (!Is_Flag(text(11))) {
            return Fail(where + ": Ope_Read_Back \"" + text(11) + "\" is neither 0 nor 1");
        }
        if (!Is_Flag(text(19))) {
            return Fail(where + ": Ope_GoToApp_After \"" + text(19) + "\" is neither 0 nor 1");
        }
        transfer.read_back = text(11) == "1";
        transfer.go_to_app_after = text(19) == "1";
        for (std::size_t port : {std::size_t{4}, std::size_t{5}}) {
            const std::int32_t value = Text_To_Int(text(port), -1);
            if (value < 1 || value > 65535) {
                return Fail(where + ": " + Operation_Elements[port] + " \"" + text(port) +
                            "\" is not a port number (1 to 65535)");
            }
        }

        std::error_code ec;
        const std::filesystem::path file(std::u8string(transfer.file.begin(), transfer.file.end()));
        if (!File_Exists(transfer.file)) {
            return Fail(where + ": " + transfer.file + " does not exist");
        }
        transfer.size = std::filesystem::file_size(file, ec);
        if (ec) {
            return Fail(where + ": " + transfer.file + " cannot be read (" + ec.message() + ")");
        }
        if (transfer.size < kind->min_size || transfer.size > kind->max_size) {
            const std::string expected = kind->min_size == kind->max_size
                                             ? std::to_string(kind->min_size) + " bytes"
                                             : std::to_string(kind->min_size) + " to " +
                                                   std::to_string(kind->max_size) + " bytes";
            return Fail(where + ": " + transfer.file + " has " + std::to_string(transfer.size) + " bytes, the " +
                        kind->image + " must have " + expected);
        }
        report_.transfers.push_back(transfer);
        return true;
    }

    std::string path_;
    Instruction_Report report_;
};

} // namespace

Instruction_Report Check_Instruction_File(const std::string& path) {
    return Checker(path).Run();
}

} // namespace qm::standin
