#include "cli/pdf_module.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "common/file_io.h"
#include "review/report.h"
#include "review/report_pdf_entry.h"

namespace qm::cli {

namespace {

#ifdef QM_PDF_MODULE
constexpr const char* Module_Name = QM_PDF_MODULE;
#else
constexpr const char* Module_Name = "qm_report_pdf";
#endif

// The entry point of the module, or nothing with why not.
Qm_Report_Pdf_Function Load_Entry(const std::string& path, std::string& message) {
    void* symbol = nullptr;
#ifdef _WIN32
    const int size = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), size);
    HMODULE module = LoadLibraryW(wide.c_str());
    if (module == nullptr) {
        message = path + ": cannot be loaded (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    symbol = reinterpret_cast<void*>(GetProcAddress(module, Qm_Report_Pdf_Symbol));
#else
    // Kept loaded until the process ends: Qt's threads may outlive the call.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        message = path + ": cannot be loaded (" + (reason != nullptr ? reason : "unknown reason") + ")";
        return nullptr;
    }
    symbol = dlsym(module, Qm_Report_Pdf_Symbol);
#endif
    if (symbol == nullptr) {
        message = path + ": has no " + Qm_Report_Pdf_Symbol;
        return nullptr;
    }
    Qm_Report_Pdf_Function entry = nullptr;
    static_assert(sizeof entry == sizeof symbol);
    std::memcpy(&entry, &symbol, sizeof entry);
    return entry;
}

} // namespace

bool Write_Pdf_Through_Module(const Report& report, const std::string& path, std::string& message) {
    // Beside the program in a build; in its modules folder when installed, out of the folders
    // the dynamic linker searches.
    std::string module = Path_Join(Path_Join(Program_Dir(), "modules"), Module_Name);
    if (!File_Exists(module)) {
        module = Path_Join(Program_Dir(), Module_Name);
    }
    const Qm_Report_Pdf_Function entry = Load_Entry(module, message);
    if (entry == nullptr) return false;
    std::string bytes;
    int pages = 0;
    if (!entry(&report, &bytes, &pages)) {
        message = module + ": the PDF could not be made";
        return false;
    }
    const Io_Result written = Write_File_Atomic(path, bytes);
    message = written.message;
    return written.ok;
}

} // namespace qm::cli
