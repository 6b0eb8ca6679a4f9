#pragma once
// String-table entries of the data map: its findings, the map command and the Data Map window.

namespace qm::map_text {

inline constexpr int Title = 208;              // "Data Map"
inline constexpr int Button_Hint = 209;        // "Which rows fill and show which bytes of the data array"
inline constexpr int Read_Rule = 210;          // "read rule "
inline constexpr int Read_Rules = 211;         // "read rules "
inline constexpr int Write_Rule = 212;         // "write rule "
inline constexpr int Variable = 213;           // "variable "
inline constexpr int Read_Only_Variable = 214; // "read-only variable "
inline constexpr int And = 215;                // " and "
inline constexpr int Byte = 216;               // "byte "
inline constexpr int Bytes = 217;              // "bytes "
inline constexpr int To = 218;                 // " to "
inline constexpr int Bit = 219;                // ", bit "
inline constexpr int Both_Fill = 220;          // ": both fill "
inline constexpr int Past_Data_End = 221;      // ": past the end of the data array (bytes 0 to 1499)"
inline constexpr int Past_Write_End = 222;     // ": past the end of the write array (bytes 0 to 1499)"
inline constexpr int Unfed = 223;              // ": no enabled read rule fills it, so it always shows 0"
inline constexpr int Mismatch = 224;           // ": does not match the bytes of "
inline constexpr int Left_Out = 225;           // " is not a usable number; the row is left out of the map"
inline constexpr int Taken_As_Bit = 226;       // " is none of the list: the device takes it as Bit"
inline constexpr int No_Findings = 227;        // "No findings: the rules and the variables meet."
inline constexpr int Findings = 228;           // "Findings: "
inline constexpr int Notes = 229;              // "Left out of the map:"
inline constexpr int Data_Array = 230;         // "Data array (read rules and variables):"
inline constexpr int Write_Array = 231;        // "Write array (write rules):"
inline constexpr int Shown_By = 232;           // "  shown by "
inline constexpr int Fed_By_None = 233;        // "  filled by no read rule"
inline constexpr int Usage = 234;              // usage line of map
inline constexpr int Kind_Overlap = 235;       // "overlap"
inline constexpr int Kind_Past_End = 236;      // "past end"
inline constexpr int Kind_Unfed = 237;         // "unfed"
inline constexpr int Kind_Size_Mismatch = 238; // "size mismatch"
inline constexpr int Legend_Free = 239;        // "free"
inline constexpr int Legend_Read_Rule = 240;   // "filled by a read rule"
inline constexpr int Legend_Variable = 241;    // "shown by a variable"
inline constexpr int Legend_Both = 242;        // "filled and shown"
inline constexpr int Legend_Conflict = 243;    // "overlap of read rules"
inline constexpr int Legend_Unfed = 244;       // "unfed variable"

} // namespace qm::map_text
