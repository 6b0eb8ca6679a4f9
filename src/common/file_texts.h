#pragma once
// String-table entries about the project's files: none chosen, or one that changed behind the
// program's back.

namespace qm::file_text {

inline constexpr int Project_Not_Valid = 18; // "Error! Project not Valid"
// "The file was changed since it was opened: overwrite, or cancel and keep the other change?"
inline constexpr int Changed_Question = 131;
inline constexpr int Overwrite = 132; // "Overwrite"
inline constexpr int Cancel = 133;    // "Cancel"
// After a file's path: ": was changed by another program after it was read; nothing was written"
inline constexpr int Changed_Meanwhile = 134;

} // namespace qm::file_text
