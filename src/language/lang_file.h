#pragma once
// The line format of the language files: reading one line, and writing the lines of a file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Larger files are refused: no translation comes near it, and it keeps a wrong file
// (a disk image renamed .lng) from being read into memory whole.
inline constexpr std::uint64_t Max_Language_File_Bytes = 64ULL * 1024 * 1024;

struct Language_Line {
    int index = 0;
    std::string text;
};

// "STR<index> = <text> /#/ remark", with the pilcrow rules for blanks at the ends of a text.
// Nothing for a line that sets no entry (remark, heading, bad index, empty text).
std::optional<Language_Line> Parse_Language_Line(std::string_view line);

// The line that Parse_Language_Line reads back as exactly (index, text), without line end.
// Nothing when the format cannot carry the text: one holding "/#/", a pilcrow or a line break.
std::optional<std::string> Format_Language_Line(int index, std::string_view text);

// The whole English.lng: UTF-8 BOM, one remark line, then a line for each built-in default
// that is not the single blank, in index order, CR LF line ends.
std::string English_Language_File_Text();

} // namespace qm
