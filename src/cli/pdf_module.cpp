#include "cli/pdf_module.h"

#include "common/file_io.h"
#include "common/module_loader.h"
#include "review/report.h"
#include "review/report_pdf_entry.h"

namespace qm::cli {

namespace {

#ifdef QM_PDF_MODULE
constexpr const char* Module_Name = QM_PDF_MODULE;
#else
constexpr const char* Module_Name = "qm_report_pdf";
#endif

} // namespace

bool Write_Pdf_Through_Module(const Report& report, const std::string& path, std::string& message) {
    const auto entry = Load_Module_Function<Qm_Report_Pdf_Function>(Module_Name, Qm_Report_Pdf_Symbol, message);
    if (entry == nullptr) return false;
    const std::string module = Find_Module(Module_Name);
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
