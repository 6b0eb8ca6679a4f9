#pragma once
// Turns the bytes of a text file into UTF-8, whatever encoding a translator's editor chose.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Ansi_Code_Page: the Windows machine's own 8-bit code page when it is not 1252.
enum class Text_Encoding { Windows_1252, Utf8_Bom, Utf16_Le, Utf16_Be, Ansi_Code_Page };

struct Decoded_Text {
    Text_Encoding encoding = Text_Encoding::Windows_1252;
    std::string utf8;
    int invalid_characters = 0; // byte sequences or unpaired surrogates replaced by U+FFFD
};

// A UTF-8 BOM or a UTF-16 BOM of either byte order selects the encoding and is dropped.
// Without one the bytes are in the 8-bit code page: on Windows the machine's (GetACP), elsewhere,
// where no such setting exists, Windows-1252. In 1252 the five unassigned bytes (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the C1 control characters of the same value, as Windows converts them.
Decoded_Text Decode_Text(std::string_view bytes);

// The same with the code page for files without a BOM given (Windows only honours pages other
// than 1252; tests use it to decode as another machine would).
Decoded_Text Decode_Text(std::string_view bytes, unsigned code_page);

// True when the bytes are well-formed UTF-8 throughout (no overlong forms, surrogates or values
// above U+10FFFF).
bool Is_Valid_Utf8(std::string_view bytes);

// The offset of the first byte that is not part of a well-formed UTF-8 sequence; npos when none.
std::size_t First_Invalid_Utf8(std::string_view bytes);

// True when the bytes hold at least one well-formed UTF-8 sequence of two or more bytes: text
// with such a sequence was written as UTF-8, at least in part.
bool Has_Utf8_Multibyte(std::string_view bytes);

// Appends the bytes as Windows-1252, the same on every platform (no machine code page). Returns
// the offset of the first of the five bytes the page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D), npos when there is none; utf8 is complete only then.
std::size_t Decode_Windows_1252(std::string_view bytes, std::string& utf8);

// The code page Decode_Text assumes for files without a BOM on this machine.
unsigned Eight_Bit_Code_Page();

// Lines end at CR, LF or CR LF; the line ends are not part of the lines. A final line end
// does not start another (empty) line.
std::vector<std::string_view> Split_Lines(std::string_view text);

void Append_Utf8(std::string& out, char32_t code_point);

} // namespace qm
