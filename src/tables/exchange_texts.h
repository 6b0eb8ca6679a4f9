#pragma once
// String-table entries of the spreadsheet exchange added after its first set (1038-1127, which
// table_exchange.cpp names itself): decoding, counts, the rows after the end of a list and the
// table windows' cell commands.

namespace qm::exchange_text {

inline constexpr int Mixed_Encoding = 1128;   // "the file is UTF-8, but this line holds a byte that is not UTF-8 ..."
inline constexpr int Undefined_Byte = 1129;   // "the file is not UTF-8, and this line holds the byte " + 0x81
inline constexpr int Undefined_End = 1130;    // ", which Windows-1252 does not define; ..."
inline constexpr int Enable_Blank = 1131;     // title + " must be Y or N; the cell is empty"
inline constexpr int Error_And = 1132;        // 1 + " error and "  (1083 for more than one)
inline constexpr int Fault = 1133;            // 1 + " fault"       (1084 for more than one)
inline constexpr int More_One = 1134;         // "... and " 1 + " more error, not listed" (1076 for more)
inline constexpr int Not_Saved = 1135;        // tooltip: "not saved: the list ends at row " + N
inline constexpr int One_Row_Lost = 1136;     // "1 row after the end of the list is not saved: the list ends at row " + N
inline constexpr int Rows_Lost = 1137;        // N + " rows after the end of the list are not saved: ..." + N
inline constexpr int Status_Separator = 1138; // "; " between the faults and the rows not saved
inline constexpr int Copy_Cells = 1139;       // context menu "Copy Cells"
inline constexpr int Paste_Cells = 1140;      // context menu "Paste Cells"
inline constexpr int More_In_Details = 1141;  // "... and " + N + " more in the details"
inline constexpr int Not_Read_Completely = 1142; // import over a list file that was not read completely

} // namespace qm::exchange_text
