#pragma once
// The entry point of the PDF module (gui/report_pdf_module.cpp), which the command-line tool
// loads at run time: the report's bytes as a PDF file, false when they could not be made.

#include <string>

namespace qm {
struct Report;
}

#ifdef _WIN32
#define QM_REPORT_PDF_EXPORT __declspec(dllexport)
#else
#define QM_REPORT_PDF_EXPORT __attribute__((visibility("default")))
#endif

using Qm_Report_Pdf_Function = bool (*)(const qm::Report* report, std::string* bytes, int* pages);
inline constexpr const char* Qm_Report_Pdf_Symbol = "Qm_Report_Pdf";
