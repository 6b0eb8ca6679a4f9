#pragma once
// The report on paper: A4 landscape pages painted by Qt, with the configuration's name and the
// page number on every page and each table's header repeated on the pages it continues on.
// Needs Qt's GUI library only, so that it can also be loaded by a program without it
// (report_pdf_module.cpp).

#include <string>

class QPagedPaintDevice;

namespace qm {
struct Report;
}

namespace qm::gui {

// Sets the device to A4 landscape with the report's margins.
void Set_Report_Page(QPagedPaintDevice& device);

// Paints every page on a device whose page is already set; returns the number of pages.
int Paint_Report(const Report& report, QPagedPaintDevice& device);

// The bytes of the PDF file; pages receives their number. Needs a QGuiApplication.
std::string Report_Pdf_Bytes(const Report& report, int* pages = nullptr);

// The same for a program without windows: creates a QGuiApplication on the offscreen platform
// for the time of the call when none exists.
std::string Report_Pdf_Bytes_Offscreen(const Report& report, int* pages = nullptr);

struct Pdf_Result {
    bool ok = false;
    int pages = 0;
    std::string message; // why not, naming the file
};

// Writes the PDF through a temporary file, so a failure never leaves half a file.
Pdf_Result Write_Report_Pdf(const Report& report, const std::string& path);

} // namespace qm::gui
