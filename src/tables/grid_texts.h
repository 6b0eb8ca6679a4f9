#pragma once
// String-table entries of the table windows' own behaviour beyond the design's texts (the earlier
// ones, 1325-1361, are used by number where they were introduced).

namespace qm::grid_text {

inline constexpr int Discard_Changes = 1362;   // "Discard the changes?"
inline constexpr int Row_After_List = 1363;    // Duplicate on a row after the end of the list
inline constexpr int One_Faulty_Cell = 1364;   // "One faulty cell: " + message
inline constexpr int Faulty_Cells = 1365;      // count + " faulty cells, the first: " + message
inline constexpr int Same_Name = 1366;         // + the other row with the same IEC 61850 Name
inline constexpr int Counted_Fields = 1349;    // "The number at the end is counted up in: " + headers

} // namespace qm::grid_text
