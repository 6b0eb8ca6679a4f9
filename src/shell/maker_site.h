#pragma once
// The maker's web addresses, fixed when the program is built: one place for every window and
// the version check.

#include <string>

namespace qm {

// The maker's web host ("updates.quillmaker.example" unless the build names another).
std::string Maker_Host();
// The page where a newer version is downloaded.
std::string Download_Url();
// The maker's home page, naming this program.
std::string Home_Url();

} // namespace qm
