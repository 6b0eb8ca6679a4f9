#pragma once
// Helpers shared by the bank decoders: bounds-checked little-endian reads and text formatting.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "image/image_inspect.h"

namespace qm::inspect_detail {

// Reads past the end of the bytes give 0; callers check sizes first where it matters.
std::uint8_t U8(Image_Bytes bytes, std::size_t offset);
std::uint16_t U16(Image_Bytes bytes, std::size_t offset);
std::uint32_t U32(Image_Bytes bytes, std::size_t offset);
std::array<std::uint8_t, 4> Quad(Image_Bytes bytes, std::size_t offset);
bool Fits(Image_Bytes bytes, std::size_t offset, std::size_t width);

// "0x1C" style, at least `digits` hex digits, upper case.
std::string Hex(std::uint64_t value, int digits = 1);
// "C0 A8 00 0A"; bytes beyond the end show as "--".
std::string Hex_Bytes(Image_Bytes bytes, std::size_t offset, std::size_t width);
std::string Dotted(const std::array<std::uint8_t, 4>& quad);

// A string for one line of output: quotes, escapes for control bytes, and invalid UTF-8 as \xNN.
// Low_Byte strings are shown as the Latin-1 characters the device stores.
std::string Quote(std::string_view bytes, String_Encoding encoding);
bool Valid_Utf8(std::string_view bytes);

// Pads with blanks to width (counting UTF-8 code points, so names with accents still align).
std::string Pad(std::string_view text, std::size_t width);

} // namespace qm::inspect_detail
