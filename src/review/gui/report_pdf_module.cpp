// The PDF writer as a module that quillmaker-cli loads only for `report --format pdf`, so that
// its other commands start without loading Qt.

#include <string>

#include "review/gui/report_pdf.h"
#include "review/report_pdf_entry.h"

extern "C" QM_REPORT_PDF_EXPORT bool Qm_Report_Pdf(const qm::Report* report, std::string* bytes, int* pages) {
    try {
        *bytes = qm::gui::Report_Pdf_Bytes_Offscreen(*report, pages);
        return !bytes->empty();
    } catch (...) {
        return false;
    }
}
