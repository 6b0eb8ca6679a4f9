#include "review/gui/report_pdf.h"

#include "common/file_io.h"

namespace qm::gui {

Pdf_Result Write_Report_Pdf(const Report& report, const std::string& path) {
    Pdf_Result result;
    const std::string bytes = Report_Pdf_Bytes(report, &result.pages);
    const Io_Result written = Write_File_Atomic(path, bytes);
    result.ok = written.ok;
    result.message = written.message;
    return result;
}

} // namespace qm::gui
