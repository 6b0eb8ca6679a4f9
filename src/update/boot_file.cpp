#include "update/boot_file.h"

#include "common/xml_io.h"
#include "common/start_program.h"

namespace qm {
namespace {

struct Operation_Values {
    std::string File_Name;
    const char* Start_Address;
    const char* Bank_Type;
    const char* Write_CSS;
    bool Go_To_App_After;
};

void Add_Text(pugi::xml_node parent, const char* name, const std::string& text) {
    parent.append_child(name).text().set(text.c_str());
}

// Element order and fixed values are what the update tool reads; it attaches meaning to them,
// the configurator does not.
void Add_Operation(pugi::xml_node operations, const Operation_Values& values, bool read_back) {
    pugi::xml_node op = operations.append_child("Operation");
    Add_Text(op, "Ope_Protection_Enabled", "");
    Add_Text(op, "Ope_GoToBoot_Before", "0");
    Add_Text(op, "Ope_GoToApp_Before", "0");
    Add_Text(op, "Ope_IP_Address", "");
    Add_Text(op, "Ope_Port", "2008");
    Add_Text(op, "Ope_Port_Sec", "2007");
    Add_Text(op, "Ope_Erase_Memory", "0");
    Add_Text(op, "Ope_FileName", values.File_Name);
    Add_Text(op, "Ope_Start_Address", values.Start_Address);
    Add_Text(op, "Ope_Memory_Type", "0");
    Add_Text(op, "Ope_Bank_Type", values.Bank_Type);
    Add_Text(op, "Ope_Read_Back", read_back ? "1" : "0");
    Add_Text(op, "Ope_Write_CSS", values.Write_CSS);
    Add_Text(op, "Ope_Address_CSS", "0x07A00");
    Add_Text(op, "Ope_Command_CSS", "0x02");
    Add_Text(op, "Ope_Write_Internal_Data", "0");
    Add_Text(op, "Ope_WID_Address", "0x07810");
    Add_Text(op, "Ope_WID_Command", "0x02");
    Add_Text(op, "Ope_WID_Data", "0x00, 0x00, 0x00, 0x01");
    Add_Text(op, "Ope_GoToApp_After", values.Go_To_App_After ? "1" : "0");
}

Program_Starter& Starter() {
    static Program_Starter starter;
    return starter;
}

} // namespace

std::string Join_IP_Fields(const std::array<std::string, 4>& fields) {
    return fields[0] + "." + fields[1] + "." + fields[2] + "." + fields[3];
}

std::string Boot_File_Path(const std::string& exe_dir) {
    return Path_Join(exe_dir, Boot_File_Name);
}

std::string Update_Tool_Path(const std::string& exe_dir) {
#ifdef _WIN32
    return Path_Join(exe_dir, "Ethernet_Update.exe");
#else
    return Path_Join(exe_dir, "Ethernet_Update");
#endif
}

void Build_Boot_Document(pugi::xml_document& doc, const Boot_Request& request) {
    doc.reset();
    pugi::xml_node root = doc.append_child("Ethernet_Update");
    Add_Text(root, "Version", "1000");
    Add_Text(root, "Title", "Velmor - CF39174 Ethernet Update");
    Add_Text(root, "IP_Address_Dev", Join_IP_Fields(request.IP_Fields));
    Add_Text(root, "Application_Port", "10000");
    Add_Text(root, "Boot_Port", "2008");
    Add_Text(root, "Boot_Port_Sec", "2007");
    Add_Text(root, "Address_Protection", "0x07800");
    Add_Text(root.append_child("Protections"), "Protection", "0x2D4");
    pugi::xml_node operations = root.append_child("Operations");

    const bool firmware = request.Option == Firmware_And_Configuration || request.Option == Firmware_Only;
    const bool banks = request.Option == Firmware_And_Configuration || request.Option == Configuration_Only;
    // Only the last transfer tells the device to start its application.
    if (firmware) {
        Add_Operation(operations,
                      {Path_Join(request.Master_Dir, Firmware_File_Name), Firmware_Start_Address, "1", "1", !banks},
                      request.Read_Back);
    }
    if (banks) {
        const std::string bin = Path_Join(request.Project_Dir, "bin");
        Add_Operation(operations, {Path_Join(bin, "bank1.bin"), Bank1_Start_Address, "2", "0", false},
                      request.Read_Back);
        Add_Operation(operations, {Path_Join(bin, "bank2.bin"), Bank2_Start_Address, "2", "0", false},
                      request.Read_Back);
        Add_Operation(operations, {Path_Join(bin, "bank3.bin"), Bank3_Start_Address, "2", "0", true},
                      request.Read_Back);
    }
}

Io_Result Compile_XML_Parameter_New_Boot(pugi::xml_document& doc, const Boot_Request& request) {
    Build_Boot_Document(doc, request);
    return Save_Xml_File(doc, Boot_File_Path(request.Exe_Dir));
}

void Set_Program_Starter(Program_Starter starter) {
    Starter() = std::move(starter);
}

void Start_Update_Tool(const std::string& exe_dir) {
    const std::string tool = Update_Tool_Path(exe_dir);
    if (Starter()) {
        Starter()(tool, "", false);
        return;
    }
    // No arguments: the tool finds its instruction file beside itself. Its exit code is not used.
    Start_Program(tool, {}, false);
}

} // namespace qm
