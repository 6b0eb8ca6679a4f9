#include "image/text_units.h"

#include <cstring>

namespace qm {
namespace {

// Decodes one sequence starting at text[i]; returns its length, or 0 when it is not well-formed.
std::size_t Decode(std::string_view text, std::size_t i, std::uint32_t& code) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1FU;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0FU;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07U;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const std::uint8_t next = byte(i + k);
        if ((next & 0xC0U) != 0x80U) {
            return 0;
        }
        code = (code << 6) | (next & 0x3FU);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

} // namespace

std::size_t Find_Invalid_Utf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        // Certificates and keys are kilobytes of ASCII: pass them eight bytes at a time.
        while (text.size() - i >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + i, 8);
            if ((word & 0x8080808080808080ULL) != 0) {
                break;
            }
            i += 8;
        }
        if (i == text.size()) {
            break;
        }
        if (static_cast<std::uint8_t>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        std::uint32_t code = 0;
        const std::size_t length = Decode(text, i, code);
        if (length == 0) {
            return i;
        }
        i += length;
    }
    return std::string_view::npos;
}

std::size_t Utf16_Length(std::string_view utf8) {
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto b = static_cast<std::uint8_t>(c);
        if ((b & 0xC0U) != 0x80U) {
            units += b >= 0xF0 ? 2 : 1; // a four-byte sequence is a surrogate pair
        }
    }
    return units;
}

std::size_t Put_Low_Bytes(std::string_view utf8, std::uint8_t* out, std::size_t max_units) {
    std::size_t units = 0;
    std::size_t i = 0;
    while (i < utf8.size() && units < max_units) {
        std::uint32_t code = 0;
        std::size_t length = Decode(utf8, i, code);
        if (length == 0) { // not reached for checked texts; keep going byte by byte regardless
            code = static_cast<std::uint8_t>(utf8[i]);
            length = 1;
        }
        i += length;
        if (code >= 0x10000) {
            const std::uint32_t v = code - 0x10000;
            out[units++] = static_cast<std::uint8_t>((0xD800U + (v >> 10)) & 0xFFU);
            if (units < max_units) {
                out[units++] = static_cast<std::uint8_t>((0xDC00U + (v & 0x3FFU)) & 0xFFU);
            }
        } else {
            out[units++] = static_cast<std::uint8_t>(code & 0xFFU);
        }
    }
    return units;
}

} // namespace qm
