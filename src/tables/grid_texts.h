#pragma once
// String-table entries of the table windows' own behaviour beyond the design's texts: undo, find,
// duplicate, the faults line.

namespace qm::grid_text {

inline constexpr int Undo = 1325;              // "Undo "
inline constexpr int Redo = 1326;              // "Redo "
inline constexpr int Change_Of = 1327;         // "Change of "
inline constexpr int In_Row = 1328;            // " in Row "
inline constexpr int Delete_Row = 1329;        // "Delete Row "
inline constexpr int Insert_Row = 1330;        // "Insert Row "
inline constexpr int Paste_Row = 1331;         // "Paste Row "
inline constexpr int Duplicate_Row = 1332;     // "Duplicate Row "
inline constexpr int Change_Of_Cells = 1333;   // "Change of Cells"
inline constexpr int Duplicate = 1334;         // "Duplicate..."
inline constexpr int Duplicate_Hint = 1335;    // "Copy the Selected Row below itself, counting ..."
inline constexpr int Find = 1336;              // "Find..."
inline constexpr int Find_Label = 1337;        // "Find:"
inline constexpr int Next = 1338;              // "Next"
inline constexpr int Previous = 1339;          // "Previous"
inline constexpr int Not_Found = 1340;         // "No cell contains this text"
inline constexpr int Close_Find_Hint = 1341;   // "Close the find bar (Esc)"
inline constexpr int Next_Fault = 1342;        // "Next Fault"
inline constexpr int Previous_Fault = 1343;    // "Previous Fault"
inline constexpr int No_Faults = 1344;         // "No faults"
inline constexpr int No_Free_Row = 1359;       // "There is no free row after the end of the lis..."

inline constexpr int Discard_Changes = 1362;   // "Discard the changes?"
inline constexpr int Row_After_List = 1363;    // Duplicate on a row after the end of the list
inline constexpr int One_Faulty_Cell = 1364;   // "One faulty cell: " + message
inline constexpr int Faulty_Cells = 1365;      // count + " faulty cells, the first: " + message
inline constexpr int Same_Name = 1366;         // + the other row with the same IEC 61850 Name
inline constexpr int Counted_Fields = 1349;    // "The number at the end is counted up in: " + headers

} // namespace qm::grid_text
