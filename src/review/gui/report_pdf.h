#pragma once
// The report on paper: laid out by QTextDocument from its HTML form on A4 landscape pages, with
// the configuration's name and the page number on every page and the table headers repeated.

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

struct Pdf_Result {
    bool ok = false;
    int pages = 0;
    std::string message; // why not, naming the file
};

// Writes the PDF through a temporary file, so a failure never leaves half a file. Needs a
// QGuiApplication.
Pdf_Result Write_Report_Pdf(const Report& report, const std::string& path);

// The same for a program without windows: creates a QGuiApplication on the offscreen platform
// for the time of the call when none exists.
Pdf_Result Write_Report_Pdf_Offscreen(const Report& report, const std::string& path);

} // namespace qm::gui
