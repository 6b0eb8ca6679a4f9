#pragma once
// Turns the bytes of a text file into UTF-8, whatever encoding a translator's editor chose.

#include <string>
#include <string_view>
#include <vector>

namespace qm {

enum class Text_Encoding { Windows_1252, Utf8_Bom, Utf16_Le, Utf16_Be };

struct Decoded_Text {
    Text_Encoding encoding = Text_Encoding::Windows_1252;
    std::string utf8;
    int invalid_characters = 0; // byte sequences or unpaired surrogates replaced by U+FFFD
};

// A UTF-8 BOM or a UTF-16 BOM of either byte order selects the encoding and is dropped;
// without one the bytes are Windows-1252. Its five unassigned bytes (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) become the C1 control characters of the same value, as Windows itself converts them.
Decoded_Text Decode_Text(std::string_view bytes);

// Lines end at CR, LF or CR LF; the line ends are not part of the lines. A final line end
// does not start another (empty) line.
std::vector<std::string_view> Split_Lines(std::string_view text);

void Append_Utf8(std::string& out, char32_t code_point);

} // namespace qm
