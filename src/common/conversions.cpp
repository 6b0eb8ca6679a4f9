#include "common/conversions.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#ifdef _WIN32
#include <windows.h>
#else
#include <langinfo.h>
#include <locale.h>
#endif

namespace qm {
namespace {

bool Is_Digit(char c) {
    return c >= '0' && c <= '9';
}

int Hex_Value(char c) {
    if (Is_Digit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// A part of an address before its first "." and the text after it; without a ".",
// the part is empty and the rest is the whole text (so a missing part reads as empty).
std::string_view Take_Part(std::string_view& rest) {
    const std::size_t dot = rest.find('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    const std::string_view part = rest.substr(0, dot);
    rest = rest.substr(dot + 1);
    return part;
}

} // namespace

std::string_view Trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Upper_Ascii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

bool Text_To_Wide_Int(std::string_view text, std::int64_t& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) {
        return false; // no digit after the sign or prefix
    }
    // Accumulate past the 32-bit range only as far as needed to know the value is too large.
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const int digit = base == 16 ? Hex_Value(text[i]) : (Is_Digit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) {
            return false;
        }
        v = v * base + digit;
        if (v > Wide_Int_Limit) {
            v = Wide_Int_Limit;
        }
    }
    value = negative ? -v : v;
    return true;
}

std::int32_t Text_To_Int(std::string_view text, std::int32_t fallback) {
    std::int64_t value = 0;
    if (!Text_To_Wide_Int(text, value) || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return fallback;
    }
    return static_cast<std::int32_t>(value);
}

Ip_Parts Check_IP_Address(std::string_view text) {
    Ip_Parts result;
    std::string_view rest = Trim(text);
    for (int i = 0; i < 3; ++i) {
        const std::size_t dot = rest.find('.');
        if (dot == std::string_view::npos) {
            return result;
        }
        result.parts[static_cast<std::size_t>(i)] = std::string(Trim(rest.substr(0, dot)));
        rest = Trim(rest.substr(dot + 1));
    }
    result.parts[3] = std::string(rest);
    result.valid = true;
    for (const std::string& part : result.parts) {
        const std::int32_t value = Text_To_Int(part, 1000);
        if (value < 0 || value > 255) {
            result.valid = false;
        }
    }
    return result;
}

Ip_Bytes Split_IP_Address(std::string_view text) {
    Ip_Bytes result;
    if (text.empty()) {
        result.bad = true;
        return result;
    }
    std::string_view rest = text;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string_view part = i < 3 ? Take_Part(rest) : rest;
        const std::int32_t value = Text_To_Int(part, -1);
        if (value >= 0 && value <= 255) {
            result.bytes[i] = static_cast<std::uint8_t>(value);
        } else {
            result.bytes[i] = 0;
            result.bad = true;
        }
    }
    return result;
}

char Get_Decimal_Separator() {
    std::string separator;
#ifdef _WIN32
    wchar_t buffer[4] = {};
    if (GetProfileStringW(L"Intl", L"sDecimal", L"", buffer, 4) > 0 && buffer[0] < 128) {
        separator = static_cast<char>(buffer[0]);
    }
#else
    // The user's numeric locale, read without touching the process-wide locale.
    if (locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr))) {
        if (const char* radix = nl_langinfo_l(RADIXCHAR, user)) {
            separator = radix;
        }
        freelocale(user);
    }
#endif
    if (!separator.empty() && (separator[0] == ',' || separator[0] == '.')) {
        return separator[0];
    }
    return ',';
}

Float_Result Str_To_Float_Local(std::string_view text, char separator) {
    const Float_Result failed;
    std::string local(text);
    for (char& c : local) {
        if (separator == '.' && c == ',') {
            c = '.';
        } else if (separator != '.' && c == '.') {
            c = ',';
        }
    }
    const char decimal = separator == '.' ? '.' : ',';

    // Validate the whole form first; only then hand a plain C-locale text to strtof.
    std::size_t i = 0;
    const std::size_t n = local.size();
    while (i < n && local[i] == ' ') {
        ++i;
    }
    std::string plain;
    if (i < n && (local[i] == '+' || local[i] == '-')) {
        plain += local[i];
        ++i;
    }
    int digits = 0;
    bool seen_separator = false;
    for (; i < n; ++i) {
        if (Is_Digit(local[i])) {
            plain += local[i];
            ++digits;
        } else if (local[i] == decimal && !seen_separator) {
            plain += '.';
            seen_separator = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return failed;
    }
    if (i < n && (local[i] == 'e' || local[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < n && (local[i] == '+' || local[i] == '-')) {
            plain += local[i];
            ++i;
        }
        int exponent_digits = 0;
        for (; i < n && Is_Digit(local[i]); ++i) {
            plain += local[i];
            ++exponent_digits;
        }
        if (exponent_digits == 0) {
            return failed;
        }
    }
    while (i < n && local[i] == ' ') {
        ++i;
    }
    if (i != n) {
        return failed;
    }

    float value = 0.0F;
#ifdef _WIN32
    // The Windows C runtime has no strtof_l; from_chars is locale-free and rounds the same way.
    const char* first = plain.data();
    const char* const last = plain.data() + plain.size();
    if (*first == '+') {
        ++first; // from_chars takes no plus sign
    }
    if (std::from_chars(first, last, value).ec == std::errc::result_out_of_range) {
        // As strtof: an underflow keeps the nearest float (sub-normal or zero), an overflow fails.
        double wide = 0.0;
        if (std::from_chars(first, last, wide).ec == std::errc::result_out_of_range) {
            const bool tiny = plain.find("e-") != std::string::npos;
            wide = tiny ? 0.0 : std::numeric_limits<double>::infinity();
            if (plain.front() == '-') {
                wide = -wide;
            }
        }
        value = static_cast<float>(wide);
    }
#else
    static const locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    value = strtof_l(plain.c_str(), nullptr, c_locale);
#endif
    // Underflow keeps the nearest float (sub-normal or zero); only overflow fails.
    if (std::isinf(value) || std::isnan(value)) {
        return failed;
    }
    return {true, value};
}

} // namespace qm
