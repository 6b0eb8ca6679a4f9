#include "common/module_loader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "common/file_io.h"

namespace qm {

std::string Find_Module(const std::string& file_name) {
    // Installed, modules sit in a folder of their own, out of the dynamic linker's search path.
    for (const std::string& folder : {Path_Join(Program_Dir(), "modules"), Program_Dir()}) {
        std::string path = Path_Join(folder, file_name);
        if (File_Exists(path)) return path;
    }
#ifdef QM_BUILD_MODULE_DIR
    if (std::string path = Path_Join(QM_BUILD_MODULE_DIR, file_name); File_Exists(path)) return path;
#endif
    return {};
}

void* Load_Module_Entry(const std::string& file_name, const char* symbol, std::string& message) {
    const std::string path = Find_Module(file_name);
    if (path.empty()) {
        message = Path_Join(Path_Join(Program_Dir(), "modules"), file_name) + ": not found";
        return nullptr;
    }
    void* address = nullptr;
#ifdef _WIN32
    const int size = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), size);
    HMODULE module = LoadLibraryW(wide.c_str());
    if (module == nullptr) {
        message = path + ": cannot be loaded (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    address = reinterpret_cast<void*>(GetProcAddress(module, symbol));
#else
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        message = path + ": cannot be loaded (" + (reason != nullptr ? reason : "unknown reason") + ")";
        return nullptr;
    }
    address = dlsym(module, symbol);
#endif
    if (address == nullptr) message = path + ": has no " + symbol;
    return address;
}

} // namespace qm
