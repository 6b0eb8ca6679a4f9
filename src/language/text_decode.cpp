#include "language/text_decode.h"

#include <algorithm>

#include <array>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace qm {
namespace {

constexpr char32_t Replacement = 0xFFFD;

// Code points of the bytes 0x80 to 0x9F in Windows-1252; the rest of the page is Latin-1.
constexpr std::array<char32_t, 32> Cp1252_High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

unsigned char Byte_At(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

void Decode_1252(std::string_view bytes, Decoded_Text& out) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = Byte_At(bytes, i);
        if (b >= 0x80 && b <= 0x9F) {
            Append_Utf8(out.utf8, Cp1252_High[b - 0x80]);
        } else {
            Append_Utf8(out.utf8, b);
        }
    }
}

// The UTF-8 sequence starting at bytes[i] (not ASCII): how long it should be (0 for a byte that
// cannot start one) and how many of its bytes are well-formed. Overlong forms, encoded
// surrogates and values above U+10FFFF are ill-formed.
struct Utf8_Sequence {
    std::size_t length = 0;
    std::size_t good = 0;
};

Utf8_Sequence Utf8_Sequence_At(std::string_view bytes, std::size_t i) {
    const unsigned char lead = Byte_At(bytes, i);
    Utf8_Sequence seq;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        seq.length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        seq.length = 3;
        if (lead == 0xE0) {
            low = 0xA0;
        } else if (lead == 0xED) {
            high = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        seq.length = 4;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;
        }
    }
    if (seq.length == 0) {
        return seq;
    }
    seq.good = 1;
    while (seq.good < seq.length && i + seq.good < bytes.size()) {
        const unsigned char c = Byte_At(bytes, i + seq.good);
        const unsigned char min = seq.good == 1 ? low : 0x80;
        const unsigned char max = seq.good == 1 ? high : 0xBF;
        if (c < min || c > max) {
            break;
        }
        ++seq.good;
    }
    return seq;
}

// Well-formed sequences are copied; each maximal ill-formed part becomes one U+FFFD.
void Decode_Utf8(std::string_view bytes, Decoded_Text& out) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = Byte_At(bytes, i);
        if (lead < 0x80) {
            out.utf8 += static_cast<char>(lead);
            ++i;
            continue;
        }
        const Utf8_Sequence seq = Utf8_Sequence_At(bytes, i);
        if (seq.length != 0 && seq.good == seq.length) {
            out.utf8.append(bytes.substr(i, seq.length));
        } else {
            Append_Utf8(out.utf8, Replacement);
            ++out.invalid_characters;
        }
        i += std::max<std::size_t>(seq.good, 1);
    }
}

void Decode_Utf16(std::string_view bytes, bool big_endian, Decoded_Text& out) {
    const auto unit_at = [&](std::size_t i) -> char32_t {
        const unsigned first = Byte_At(bytes, i);
        const unsigned second = Byte_At(bytes, i + 1);
        return big_endian ? (first << 8 | second) : (second << 8 | first);
    };
    const std::size_t units = bytes.size() / 2;
    std::size_t u = 0;
    while (u < units) {
        const char32_t unit = unit_at(2 * u);
        ++u;
        if (unit >= 0xD800 && unit <= 0xDBFF && u < units) {
            const char32_t next = unit_at(2 * u);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                Append_Utf8(out.utf8, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++u;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            Append_Utf8(out.utf8, Replacement);
            ++out.invalid_characters;
            continue;
        }
        Append_Utf8(out.utf8, unit);
    }
    if (bytes.size() % 2 != 0) {
        // Half a code unit at the end: a truncated file.
        Append_Utf8(out.utf8, Replacement);
        ++out.invalid_characters;
    }
}

#ifdef _WIN32
// Any other installed code page, through the system's own table; bytes it cannot map become
// U+FFFD rather than being dropped. Returns false when the page is not installed.
bool Decode_Code_Page(std::string_view bytes, unsigned code_page, Decoded_Text& out) {
    if (bytes.empty()) {
        return IsValidCodePage(code_page) != 0;
    }
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0);
    if (n <= 0) {
        return false;
    }
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(code_page, 0, bytes.data(), size, wide.data(), n);
    std::string utf16;
    utf16.reserve(wide.size() * 2);
    for (const wchar_t unit : wide) {
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>((unit >> 8) & 0xFF);
    }
    Decode_Utf16(utf16, false, out);
    return true;
}
#endif

} // namespace

unsigned Eight_Bit_Code_Page() {
#ifdef _WIN32
    return GetACP();
#else
    return 1252;
#endif
}

void Append_Utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool Is_Valid_Utf8(std::string_view bytes) {
    return First_Invalid_Utf8(bytes) == std::string_view::npos;
}

std::size_t First_Invalid_Utf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (Byte_At(bytes, i) < 0x80) {
            ++i;
            continue;
        }
        const Utf8_Sequence seq = Utf8_Sequence_At(bytes, i);
        if (seq.length == 0 || seq.good != seq.length) {
            return i;
        }
        i += seq.length;
    }
    return std::string_view::npos;
}

bool Has_Utf8_Multibyte(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (Byte_At(bytes, i) >= 0xC2) {
            const Utf8_Sequence seq = Utf8_Sequence_At(bytes, i);
            if (seq.length != 0 && seq.good == seq.length) {
                return true;
            }
        }
    }
    return false;
}

std::size_t Decode_Windows_1252(std::string_view bytes, std::string& utf8) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = Byte_At(bytes, i);
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
            return i;
        }
    }
    Decoded_Text out;
    out.utf8.swap(utf8);
    Decode_1252(bytes, out);
    utf8.swap(out.utf8);
    return std::string_view::npos;
}

Decoded_Text Decode_Text(std::string_view bytes) {
    return Decode_Text(bytes, Eight_Bit_Code_Page());
}

Decoded_Text Decode_Text(std::string_view bytes, [[maybe_unused]] unsigned code_page) {
    Decoded_Text out;
    out.utf8.reserve(bytes.size());
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        out.encoding = Text_Encoding::Utf8_Bom;
        Decode_Utf8(bytes.substr(3), out);
    } else if (bytes.starts_with("\xFF\xFE")) {
        out.encoding = Text_Encoding::Utf16_Le;
        Decode_Utf16(bytes.substr(2), false, out);
    } else if (bytes.starts_with("\xFE\xFF")) {
        out.encoding = Text_Encoding::Utf16_Be;
        Decode_Utf16(bytes.substr(2), true, out);
    } else {
#ifdef _WIN32
        if (code_page != 1252) {
            out.encoding = Text_Encoding::Ansi_Code_Page;
            if (Decode_Code_Page(bytes, code_page, out)) {
                return out;
            }
            out.utf8.clear();
        }
#endif
        out.encoding = Text_Encoding::Windows_1252;
        Decode_1252(bytes, out);
    }
    return out;
}

std::vector<std::string_view> Split_Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
        ++i;
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

} // namespace qm
