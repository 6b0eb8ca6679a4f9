#pragma once
// String-table entries about a file that changed behind the program's back.

namespace qm::file_text {

// "The file was changed since it was opened: overwrite, or cancel and keep the other change?"
inline constexpr int Changed_Question = 131;
inline constexpr int Overwrite = 132; // "Overwrite"
inline constexpr int Cancel = 133;    // "Cancel"
// After a file's path: ": was changed by another program after it was read; nothing was written"
inline constexpr int Changed_Meanwhile = 134;

} // namespace qm::file_text
