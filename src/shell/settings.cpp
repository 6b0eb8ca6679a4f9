#include "shell/settings.h"

#include <filesystem>
#include <optional>

#include "common/xml_io.h"
#include "language/lang_table.h"
#include "shell/configurations.h"

namespace qm {
namespace {

const char* const Settings_File_Name = "Quillmaker.xml";

// The text of an element that holds nothing but text; nothing for anything else
// (a child element, a comment, text mixed with other nodes).
std::optional<std::string> Plain_Text(pugi::xml_node element) {
    if (!element) {
        return std::nullopt;
    }
    const pugi::xml_node first = element.first_child();
    if (!first) {
        return std::string();
    }
    if (first.next_sibling()) {
        return std::nullopt;
    }
    if (first.type() != pugi::node_pcdata && first.type() != pugi::node_cdata) {
        return std::nullopt;
    }
    return std::string(first.value());
}

std::optional<std::string> Value(pugi::xml_node root, const char* group, const char* name) {
    return Plain_Text(root.child(group).child(name));
}

bool Flag(pugi::xml_node root, const char* name) {
    return Value(root, "lastinternet", name) == std::optional<std::string>("1");
}

void Add_Value(pugi::xml_node group, const char* name, const std::string& text) {
    pugi::xml_node element = group.append_child(name);
    if (!text.empty()) {
        element.append_child(pugi::node_pcdata).set_value(text.c_str());
    }
}

} // namespace

std::string Settings_File() {
    return Path_Join(State().Paths.Exe_Dir, Settings_File_Name);
}

std::string Workspace_Dir(const std::string& exe_dir) {
    if (File_Exists(Path_Join(exe_dir, Installed_Marker_Name))) {
        const std::string data = User_Data_Dir();
        if (!data.empty()) {
            return Path_Join(data, "Quillmaker");
        }
    }
    return exe_dir;
}

namespace {

// The shipped language files and pictures, copied once into a new workspace; the user's own
// copies are never replaced afterwards.
void Seed_Languages(const std::string& shipped_dir, const std::string& language_dir) {
    std::error_code ec;
    const std::u8string shipped(shipped_dir.begin(), shipped_dir.end());
    const std::u8string target(language_dir.begin(), language_dir.end());
    for (std::filesystem::directory_iterator it(std::filesystem::path(shipped), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code file_ec;
        if (it->is_regular_file(file_ec)) {
            std::filesystem::copy_file(it->path(), std::filesystem::path(target) / it->path().filename(),
                                       std::filesystem::copy_options::skip_existing, file_ec);
            // Installed files may be read-only; the user's copy is the user's to edit.
            std::filesystem::permissions(std::filesystem::path(target) / it->path().filename(),
                                         std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, file_ec);
        }
    }
}

// The installed example configuration, copied once into a new workspace so that a new user has
// a configuration to open; the copy is the user's to edit.
void Seed_Example(const std::string& exe_dir, const std::string& projects_dir) {
    namespace fs = std::filesystem;
    const std::string shipped = exe_dir + "/../../share/quillmaker/examples/Example";
    const fs::path from(std::u8string(shipped.begin(), shipped.end()));
    const fs::path to = fs::path(std::u8string(projects_dir.begin(), projects_dir.end())) / "Example";
    std::error_code ec;
    if (!fs::is_directory(from, ec) || fs::exists(to, ec)) {
        return;
    }
    fs::copy(from, to, fs::copy_options::recursive, ec);
    for (fs::recursive_directory_iterator it(to, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entry_ec;
        fs::permissions(it->path(), fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, entry_ec);
    }
    fs::permissions(to, fs::perms::owner_all, fs::perm_options::add, ec);
}

#ifndef _WIN32
// The update window starts the tool found beside Quillmaker.xml, and the tool reads its
// instruction file beside itself: in an installed workspace a starter script joins the two.
void Write_Update_Tool_Starter(const std::string& exe_dir, const std::string& workspace) {
    const std::string tool = Path_Join(exe_dir, "Ethernet_Update");
    std::string quoted = "'";
    for (const char c : tool) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    quoted += "'";
    const std::string script = "#!/bin/sh\n# Starts the installed update tool on the instruction file of this workspace.\n"
                               "exec " + quoted + " \"$(dirname \"$0\")/Ethernet_Update.xml\"\n";
    const std::string path = Path_Join(workspace, "Ethernet_Update");
    std::string current;
    if (!Read_File(path, current) || current != script) {
        Write_File_Atomic(path, script);
    }
    std::error_code ec;
    std::filesystem::permissions(std::filesystem::path(std::u8string(path.begin(), path.end())),
                                 std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                     std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                     std::filesystem::perms::others_exec,
                                 ec);
}
#endif

} // namespace

void Init_Workspace(const std::string& exe_dir) {
    const std::string workspace = Workspace_Dir(exe_dir);
    const bool installed = workspace != exe_dir;
    if (installed) {
        Make_Dirs(workspace);
    }
    Workspace& paths = State().Paths;
    paths.Exe_Dir = workspace;
    paths.Master_Dir = Path_Join(workspace, "MASTER");
    paths.Projects_Dir = Path_Join(workspace, "PROJECTS");
    paths.Language_Dir = Path_Join(workspace, "LANGUAGE");
    const bool first_start = !Dir_Exists(paths.Language_Dir);
    for (const std::string* dir : {&paths.Master_Dir, &paths.Projects_Dir, &paths.Language_Dir}) {
        if (!Dir_Exists(*dir)) {
            Make_Dir(*dir);
        }
    }
    if (installed) {
        if (first_start) {
            Seed_Languages(Path_Join(exe_dir, "LANGUAGE"), paths.Language_Dir);
            Seed_Example(exe_dir, paths.Projects_Dir);
        }
#ifndef _WIN32
        Write_Update_Tool_Starter(exe_dir, workspace);
#endif
    }
}

Settings_Data Read_Settings(const pugi::xml_document& doc) {
    const Settings_Data defaults;
    Settings_Data settings;
    // Whatever the first node is, it is the root; a comment there leaves every value at its default.
    const pugi::xml_node root = First_Node(doc);
    settings.Project_Name = Value(root, "lastproj", "projectname").value_or(defaults.Project_Name);
    settings.Last_IP_Address = Value(root, "lastipadd", "ipaddress").value_or(defaults.Last_IP_Address);
    settings.Language = Value(root, "lastlang", "language").value_or(defaults.Language);
    settings.Enable_Internet = Flag(root, "enable_internet");
    settings.Enable_Update = Flag(root, "enable_update");
    settings.Enable_Jump_Field_Tables = Flag(root, "enable_jump_field_tables");
    settings.Double_Click_Auto_Size = Flag(root, "Double_Click_Auto_Size");
    return settings;
}

namespace {

std::string Unreadable_Settings_Text(const std::string& path, const Xml_Load_Result& loaded) {
    return (loaded.message.empty() ? path + Lang(48) : loaded.message) + Lang(75);
}

} // namespace

Settings_Load_Result Load_Setting() {
    App_State& state = State();
    state.Settings = Settings_Data{};
    const std::string path = Settings_File();
    if (!File_Exists(path)) {
        return {};
    }
    pugi::xml_document doc;
    const Xml_Load_Result loaded = Load_Xml_File(path, doc);
    if (!loaded.ok()) {
        // A damaged file must not be lost to the save on close; treat it as missing meanwhile.
        state.Settings_File_Unreadable = true;
        return {true, Unreadable_Settings_Text(path, loaded)};
    }
    state.Settings = Read_Settings(doc);
    return {true, {}};
}

std::string Settings_To_Xml(const Settings_Data& settings) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Conf_Settings");
    Add_Value(root.append_child("lastproj"), "projectname", settings.Project_Name);
    Add_Value(root.append_child("lastipadd"), "ipaddress", settings.Last_IP_Address);
    Add_Value(root.append_child("lastlang"), "language", settings.Language);
    pugi::xml_node flags = root.append_child("lastinternet");
    const auto bit = [](bool on) { return std::string(on ? "1" : "0"); };
    Add_Value(flags, "enable_internet", bit(settings.Enable_Internet));
    Add_Value(flags, "enable_update", bit(settings.Enable_Update));
    Add_Value(flags, "enable_jump_field_tables", bit(settings.Enable_Jump_Field_Tables));
    Add_Value(flags, "Double_Click_Auto_Size", bit(settings.Double_Click_Auto_Size));
    return Xml_To_String(doc);
}

Io_Result Save_Setting() {
    App_State& state = State();
    const std::string path = Settings_File();
    if (state.Settings_File_Unreadable && File_Exists(path)) {
        if (!Keep_Backup(path)) {
            return {false, path + Lang(76)};
        }
    }
    state.Settings_File_Unreadable = false;
    return Write_File_Atomic(path, Settings_To_Xml(state.Settings));
}

void Reopen_Remembered_Project() {
    App_State& state = State();
    const std::string& name = state.Settings.Project_Name;
    // A hand-edited name such as "../x" must not lead outside PROJECTS.
    if (!name.empty() && Is_Single_Folder_Name(name)) {
        const std::string dir = Path_Join(state.Paths.Projects_Dir, name);
        if (Dir_Exists(dir)) {
            state.Project.Project_Dir = dir;
            return;
        }
    }
    state.Project.Project_Dir.clear();
}

void Set_Files() {
    Project_Files& project = State().Project;
    if (project.Project_Dir.empty()) {
        // Joined to an empty folder these would name files at the root of the file system.
        project.ParGen_File.clear();
        project.S7_Protocol_File.clear();
        project.IEC61850_Variables_File.clear();
        project.TLS_Known_Cert_File.clear();
        return;
    }
    project.ParGen_File = Path_Join(project.Project_Dir, "ParGen.xml");
    project.S7_Protocol_File = Path_Join(project.Project_Dir, "S7_Protocol.xml");
    project.IEC61850_Variables_File = Path_Join(project.Project_Dir, "IEC61850_Variables.xml");
    project.TLS_Known_Cert_File = Path_Join(project.Project_Dir, "TLS_Known_Cert.xml");
}

Start_Up_Result Start_Up(const std::string& exe_dir) {
    App_State& state = State();
    Init_Workspace(exe_dir);
    state.Settings.Project_Name.clear();
    state.Last_Read_Back = true;
    Start_Up_Result result;
    result.problem = Load_Setting().problem;
    const Language_Load_Result language = Init_Language(state.Paths.Language_Dir, state.Settings.Language);

    if (!language.ok && !language.message.empty()) {
        result.problem += (result.problem.empty() ? "" : "\n\n") + language.message;
    }
    Reopen_Remembered_Project();
    Set_Files();
    return result;
}

bool Is_Offered_Language_File(const std::string& path) {
    return Is_Plain_Writable_File(path);
}

} // namespace qm
