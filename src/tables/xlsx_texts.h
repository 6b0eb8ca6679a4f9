#pragma once
// String-table entries of the Excel workbooks: reading them (the zip, its parts, the cells) and
// writing them. A variable part is joined between two of them.

namespace qm::xlsx_text {

// The cells that hold no value an import can take: "cell " + "B5" + ": " + why.
inline constexpr int Cell = 1143;            // "cell "
inline constexpr int Colon = 1039;           // ": " (the exchange's)
inline constexpr int Date = 1144;            // "holds a date or time; ..."
inline constexpr int Error_Value = 1145;     // "holds the error value " + "#N/A"
inline constexpr int No_Cached_Value = 1146; // "holds a formula that was never computed ..."

// The file as a whole.
inline constexpr int Not_Zip = 1147;         // "is not an Excel workbook (.xlsx): ..."
inline constexpr int Encrypted_File = 1148;  // "is an encrypted workbook ..."
inline constexpr int No_Workbook = 1149;     // "is a zip archive, but it holds no Excel workbook"
inline constexpr int Too_Large = 1167;       // "is larger than the limit of " + bytes + 1046

// One part of the zip: "the part " + name + what is wrong.
inline constexpr int Part = 1150;            // "the part "
inline constexpr int Unpacks_To = 1151;      // + " unpacks to more than " + limit + Bomb_Bytes
inline constexpr int Bomb_Bytes = 1152;      // " bytes, so it is refused as a zip bomb"
inline constexpr int Compressed = 1153;      // + " is compressed more than " + ratio + Bomb_Times
inline constexpr int Bomb_Times = 1154;      // " times, so it is refused as a zip bomb"
inline constexpr int Cannot_Unpack = 1155;   // + " cannot be unpacked: " + libzip's reason
inline constexpr int Doctype = 1156;         // + " holds a document type declaration ..."
inline constexpr int Part_Encrypted = 1159;  // + " is encrypted; ..."
inline constexpr int Bad_Reference = 1164;   // + " holds a cell reference outside the sheet: " + ref
inline constexpr int No_Shared_String = 1165; // + " refers to a shared string the workbook does not hold, in cell " + ref
inline constexpr int Missing_Part = 1166;    // + " is missing from the zip"

// The sheets.
inline constexpr int No_Worksheet = 1157;    // "the workbook holds no worksheet"
inline constexpr int No_Sheet_Named = 1158;  // "the workbook holds no sheet named " + name

// The exchange and the windows.
inline constexpr int Not_Supported = 1161;   // "Excel workbooks are not supported by this build"
inline constexpr int Filter_Workbook = 1162; // "Excel workbook (*.xlsx)"
inline constexpr int Lists_Sheet = 1163;     // "Lists": the hidden sheet of the long drop-down lists
inline constexpr int Not_Written = 1168;     // "the workbook could not be written: " + reason
inline constexpr int Cell_Too_Long = 1169;   // "row 5, Certificate" + " is longer than the 32767 characters ..."

} // namespace qm::xlsx_text
