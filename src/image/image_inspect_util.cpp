#include "image/image_inspect_util.h"

namespace qm::inspect_detail {

bool Fits(Image_Bytes bytes, std::size_t offset, std::size_t width) {
    return offset <= bytes.size() && width <= bytes.size() - offset;
}

std::uint8_t U8(Image_Bytes bytes, std::size_t offset) {
    return offset < bytes.size() ? bytes[offset] : 0;
}

std::uint16_t U16(Image_Bytes bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(U8(bytes, offset) | (U8(bytes, offset + 1) << 8));
}

std::uint32_t U32(Image_Bytes bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(U8(bytes, offset)) | (static_cast<std::uint32_t>(U8(bytes, offset + 1)) << 8) |
           (static_cast<std::uint32_t>(U8(bytes, offset + 2)) << 16) |
           (static_cast<std::uint32_t>(U8(bytes, offset + 3)) << 24);
}

std::array<std::uint8_t, 4> Quad(Image_Bytes bytes, std::size_t offset) {
    return {U8(bytes, offset), U8(bytes, offset + 1), U8(bytes, offset + 2), U8(bytes, offset + 3)};
}

std::string Hex(std::uint64_t value, int digits) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), Digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    while (out.size() < static_cast<std::size_t>(digits)) out.insert(out.begin(), '0');
    return "0x" + out;
}

std::string Hex_Bytes(Image_Bytes bytes, std::size_t offset, std::size_t width) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < width; ++i) {
        if (i != 0) out += ' ';
        if (offset + i < bytes.size()) {
            out += Digits[bytes[offset + i] >> 4];
            out += Digits[bytes[offset + i] & 0xF];
        } else {
            out += "--";
        }
    }
    return out;
}

std::string Dotted(const std::array<std::uint8_t, 4>& quad) {
    return std::to_string(quad[0]) + "." + std::to_string(quad[1]) + "." + std::to_string(quad[2]) + "." +
           std::to_string(quad[3]);
}

namespace {

// Length of the valid UTF-8 sequence starting at i, or 0 when the bytes there are not one.
std::size_t Utf8_Sequence(std::string_view s, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return 1;
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        code = b0 & 0x1FU;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        code = b0 & 0x0FU;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        code = b0 & 0x07U;
    } else {
        return 0;
    }
    if (s.size() - i < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        code = (code << 6) | (b & 0x3FU);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

void Append_Escaped_Byte(std::string& out, unsigned char c) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    switch (c) {
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    default: break;
    }
    if (c < 0x20 || c == 0x7F) {
        out += "\\x";
        out += Digits[c >> 4];
        out += Digits[c & 0xF];
    } else {
        out += static_cast<char>(c);
    }
}

} // namespace

bool Valid_Utf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8_Sequence(bytes, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string Quote(std::string_view bytes, String_Encoding encoding) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            Append_Escaped_Byte(out, c);
            ++i;
        } else if (encoding == String_Encoding::Low_Byte) {
            // The device holds one byte per character; show it as the Latin-1 character it is.
            if (c < 0xA0) {
                out += "\\x";
                out += Digits[c >> 4];
                out += Digits[c & 0xF];
            } else {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            }
            ++i;
        } else if (const std::size_t n = Utf8_Sequence(bytes, i); n != 0) {
            out.append(bytes.substr(i, n));
            i += n;
        } else {
            out += "\\x";
            out += Digits[c >> 4];
            out += Digits[c & 0xF];
            ++i;
        }
    }
    out += '"';
    return out;
}

std::string Pad(std::string_view text, std::size_t width) {
    std::size_t shown = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++shown;
    }
    std::string out(text);
    if (shown < width) out.append(width - shown, ' ');
    return out;
}

} // namespace qm::inspect_detail
