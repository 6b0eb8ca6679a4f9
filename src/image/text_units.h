#pragma once
// The two text forms of the device images: UTF-8 bytes, and one byte per UTF-16 code unit
// (its low 8 bits), with lengths counted in UTF-16 code units.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qm {

// Offset of the first byte that does not belong to a well-formed UTF-8 sequence (overlong forms,
// surrogates and values above U+10FFFF included), or npos when the whole text is valid.
std::size_t Find_Invalid_Utf8(std::string_view text);

// Number of UTF-16 code units of a valid UTF-8 text (a character above U+FFFF counts two).
std::size_t Utf16_Length(std::string_view utf8);

// Writes the low byte of each UTF-16 code unit of a valid UTF-8 text, at most max_units of them,
// and returns how many were written.
std::size_t Put_Low_Bytes(std::string_view utf8, std::uint8_t* out, std::size_t max_units);

} // namespace qm
