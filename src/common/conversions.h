#pragma once
// Conversions of typed text into values, shared by every check and by the image builder.
// None of them reports an error: a failure is folded into the result.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

// Integer text with optional leading spaces, sign and "$"/"x"/"X"/"0x"/"0X" hex prefix;
// the fallback when the text is anything else or lies outside the signed 32-bit range.
std::int32_t Text_To_Int(std::string_view text, std::int32_t fallback);
// The same syntax without the range: false when the text is no integer; a magnitude beyond
// Wide_Int_Limit reads as that limit, so a huge number never overflows.
inline constexpr std::int64_t Wide_Int_Limit = std::int64_t{1} << 32;
bool Text_To_Wide_Int(std::string_view text, std::int64_t& value);

struct Ip_Parts {
    bool valid = false;
    std::array<std::string, 4> parts; // trimmed texts, meaningful only when valid
};
// Lenient dotted IPv4 check: blanks around the parts are accepted.
Ip_Parts Check_IP_Address(std::string_view text);

struct Ip_Bytes {
    bool bad = false;                    // set when the text is not a dotted IPv4 address
    std::array<std::uint8_t, 4> bytes{}; // 0 for a bad part; untouched (0) for an empty text
};
// Strict split: parts are not trimmed, so a trailing blank anywhere makes the address bad.
Ip_Bytes Split_IP_Address(std::string_view text);

// The user's decimal separator: ',' or '.' only.
char Get_Decimal_Separator();

struct Float_Result {
    bool ok = false;
    float value = 1.0F; // 1.0 on failure
};
// Decimal number with either separator; rounded to the nearest 32-bit float.
Float_Result Str_To_Float_Local(std::string_view text, char separator);

// Removes leading and trailing characters of code 32 or less.
std::string_view Trim(std::string_view text);
std::string Upper_Ascii(std::string_view text);

} // namespace qm
