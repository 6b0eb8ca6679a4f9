#pragma once
// String-table entries of the spreadsheet exchange: its messages (a variable part is joined
// between two of them), decoding, counts, the rows after the end of a list and the table
// windows' cell commands.

namespace qm::exchange_text {

// The import and export in the table windows.
inline constexpr int Overwrite = 1103;         // "File already exists! Do you want to overwrite..."
inline constexpr int Import = 1107;            // "Import..."
inline constexpr int Export = 1108;            // "Export..."
inline constexpr int Import_Hint = 1109;       // "Import the list from a spreadsheet file (CSV ..."
inline constexpr int Export_Hint = 1110;       // "Export the list to a spreadsheet file (CSV or..."
inline constexpr int Filter_Comma = 1111;      // "CSV, comma-separated (*.csv)"
inline constexpr int Filter_Semicolon = 1112;  // "CSV, semicolon-separated (*.csv)"
inline constexpr int Filter_Tab = 1113;        // "Tab-separated text (*.tsv *.txt)"
inline constexpr int Filter_Spreadsheets = 1114; // "Spreadsheet files (*.csv *.tsv *.txt)"
inline constexpr int Filter_All = 1115;        // "All files (*)"
inline constexpr int Import_Title = 1116;      // "Import a list"
inline constexpr int Export_Title = 1117;      // "Export the list"
inline constexpr int Replace_Or_Append = 1118; // "The list already holds rows. Replace them wit..."
inline constexpr int Replace = 1119;           // "Replace"
inline constexpr int Append = 1120;            // "Append"
inline constexpr int Cancel = 1121;            // "Cancel"
inline constexpr int Nothing_Imported = 1122;  // "Nothing was imported and the table is as it w..."
inline constexpr int Imported_With_Faults = 1123; // "The imported rows are in the table, but they ..."
inline constexpr int Not_Exported = 1124;      // "The list could not be exported."
inline constexpr int Block_Refused = 1125;     // "The block cannot be pasted; nothing was changed."

// The messages of the import, the export and the clipboard blocks.
inline constexpr int Line = 1038;        // "line "
inline constexpr int Colon = 1039;       // ": "
inline constexpr int Row = 1040;         // "row "
inline constexpr int Comma = 1041;       // ", "
inline constexpr int Empty_File = 1042;
inline constexpr int Folder = 1043;
inline constexpr int Cannot_Read = 1044;
inline constexpr int Too_Large = 1045;   // + limit + Bytes
inline constexpr int Bytes = 1046;
inline constexpr int Long_Line = 1047;   // + limit + Bytes
inline constexpr int Bad_Utf8 = 1048;
inline constexpr int Bad_Utf16 = 1049;
inline constexpr int Nul = 1050;
inline constexpr int Stray_Quote = 1051;
inline constexpr int Unclosed_Quote = 1052;
inline constexpr int Unknown_Column = 1053; // + name + Columns_Are + names
inline constexpr int Columns_Are = 1054;
inline constexpr int Column = 1055;      // + name + Twice
inline constexpr int Twice = 1056;
inline constexpr int No_Key_Column = 1057; // + title + Every_Row
inline constexpr int Every_Row = 1058;
inline constexpr int Line_Has = 1059;    // + fields + Fields_But + columns + Columns
inline constexpr int Fields_But = 1060;
inline constexpr int Columns = 1061;
inline constexpr int Unnamed = 1062;     // + column number + No_Name
inline constexpr int No_Name = 1063;
inline constexpr int Key_Blank = 1064;   // title + this
inline constexpr int File_Holds = 1065;  // + rows + Room (replace) / Already + rows + Room_After (append) + capacity
inline constexpr int Room = 1066;
inline constexpr int Already = 1067;
inline constexpr int Room_After = 1068;
inline constexpr int Value = 1069;       // title + this + value + one of the three below
inline constexpr int Not_Check = 1070;
inline constexpr int Not_Item = 1071;    // + items
inline constexpr int Not_Position = 1072; // + largest position
inline constexpr int Control = 1073;     // title + this + code + Control_End
inline constexpr int Control_End = 1074;
inline constexpr int More = 1075;        // + count + More_End
inline constexpr int More_End = 1076;
inline constexpr int Empty_Clipboard = 1077;
inline constexpr int Block_Has = 1078;   // + rows + Rows_From + row + Room_For + rows
inline constexpr int Rows_From = 1079;
inline constexpr int Room_For = 1080;
inline constexpr int Columns_From = 1081; // Block_Has + columns + this + title + Room_For + columns
inline constexpr int No_Such_File = 1106;

// Added after the first set.
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
