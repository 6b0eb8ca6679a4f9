#pragma once
// The PDF writer of `report`, loaded at run time from the module beside the program.

#include <string>

namespace qm {
struct Report;
}

namespace qm::cli {

// Writes the report as a PDF file through a temporary file. False with the reason, naming the
// module or the file, when the module cannot be loaded or the file cannot be written.
bool Write_Pdf_Through_Module(const Report& report, const std::string& path, std::string& message);

} // namespace qm::cli
