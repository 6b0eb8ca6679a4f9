#include "shell/configurations.h"

#include <algorithm>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/conversions.h"
#include "common/file_io.h"
#include "common/app_state.h"
#include "shell/settings.h"

namespace qm {
namespace fs = std::filesystem;

namespace {

std::string Utf8_Name(const fs::path& path) {
    const std::u8string name = path.filename().u8string();
    return std::string(name.begin(), name.end());
}

bool Is_Hidden(const fs::directory_entry& entry) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(entry.path().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
#else
    const std::string name = Utf8_Name(entry.path());
    return !name.empty() && name.front() == '.';
#endif
}

} // namespace

bool Is_Single_Folder_Name(const std::string& name) {
    // Dots and blanks alone ("..", and on Windows, which drops them at the end of a name, also
    // ".. " or "...") would name PROJECTS itself or climb out of it.
    if (name.find_first_not_of(". ") == std::string::npos || name.find_first_of("/\\:") != std::string::npos) {
        return false;
    }
    // Control characters are not allowed in Windows file names.
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32) {
            return false;
        }
    }
    return true;
}

int Create_Configuration(const std::string& name) {
    if (name.empty()) {
        return 107;
    }
    // The name becomes one folder under PROJECTS; anything that would climb out of it is refused.
    if (!Is_Single_Folder_Name(name)) {
        return 105;
    }
    const std::string dir = Path_Join(State().Paths.Projects_Dir, name);
    if (Dir_Exists(dir)) {
        return 106;
    }
    if (!Make_Dir(dir)) {
        return 105;
    }
    // A missing bin folder only stops the bank files later, where that is reported.
    Make_Dir(Path_Join(dir, "bin"));
    State().Settings.Project_Name = name;
    State().Project.Project_Dir = dir;
    Set_Files();
    return 0;
}

void Open_Configuration(const std::string& name) {
    App_State& state = State();
    state.Settings.Project_Name = name;
    state.Project.Project_Dir = name.empty() ? std::string() : Path_Join(state.Paths.Projects_Dir, name);
    Set_Files();
}

std::vector<std::string> Load_Existing_Configuration(const std::string& projects_dir) {
    std::vector<std::string> names;
    std::error_code ec;
    const std::u8string dir(projects_dir.begin(), projects_dir.end());
    for (fs::directory_iterator it(fs::path(dir), fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        std::error_code type_ec;
        if (!it->is_directory(type_ec) || Is_Hidden(*it)) {
            continue;
        }
        names.push_back(Utf8_Name(it->path()));
    }
    // The file system's own order is arbitrary on most platforms; people look for names alphabetically.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string ua = Upper_Ascii(a);
        const std::string ub = Upper_Ascii(b);
        return ua != ub ? ua < ub : a < b;
    });
    return names;
}

int Search_Open_Conf(const std::vector<std::string>& names, const std::string& snc) {
    const std::string wanted = Upper_Ascii(snc);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (Upper_Ascii(names[i]) == wanted) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string Open_Configuration_Name() {
    const App_State& state = State();
    const std::string prefix = Path_Join(state.Paths.Projects_Dir, "");
    const std::string& dir = state.Project.Project_Dir;
    if (dir.size() <= prefix.size() || dir.compare(0, prefix.size(), prefix) != 0) {
        return {};
    }
    return dir.substr(prefix.size());
}

} // namespace qm
