// The typed-value conversions against a plain reference reading of their rules, and the
// relations the checks and the image builder rely on between them.

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "common/conversions.h"
#include "fuzz_support.h"
#include "shell/version_reply.h"

namespace {

using qm::fuzz::Require;

// Spaces, sign, decimal digits or a hex number after "$", "x", "X", "0x", "0X", nothing after.
std::int64_t Reference_Int(std::string_view t, std::int64_t fallback) {
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ') {
        ++i;
    }
    bool neg = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        neg = t[i] == '-';
        ++i;
    }
    int base = 10;
    if (t.substr(i, 2) == "0x" || t.substr(i, 2) == "0X") {
        base = 16;
        i += 2;
    } else if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) {
        base = 16;
        i += 1;
    }
    if (i == t.size()) {
        return fallback;
    }
    // 20 digits are more than any value in range needs; leading zeros are skipped first.
    while (i + 1 < t.size() && t[i] == '0') {
        ++i;
    }
    if (t.size() - i > 12) {
        for (; i < t.size(); ++i) {
            const char c = t[i];
            const bool digit = (c >= '0' && c <= '9') || (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
            if (!digit) {
                return fallback;
            }
        }
        return fallback; // all digits, but far too many
    }
    std::int64_t v = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        int d = -1;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            d = c - 'A' + 10;
        }
        if (d < 0 || d >= base) {
            return fallback;
        }
        v = v * base + d;
    }
    if (neg) {
        v = -v;
    }
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
        return fallback;
    }
    return v;
}

std::string Show(std::string_view text) {
    std::string s = "text \"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || u >= 127) {
            static const char* const hex = "0123456789ABCDEF";
            s += "\\x";
            s += hex[u >> 4];
            s += hex[u & 15];
        } else {
            s += c;
        }
    }
    return s + "\"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = qm::fuzz::As_Text(data, size);
    const auto shown = [text] { return Show(text); };

    // Two fallbacks tell a converted value from a fallback, whatever the value.
    for (const std::int32_t fallback : {-1, 1000}) {
        const std::int32_t got = qm::Text_To_Int(text, fallback);
        Require(got == Reference_Int(text, fallback), "Text_To_Int differs from the reference reading", shown);
    }

    const qm::Ip_Parts lenient = qm::Check_IP_Address(text);
    if (lenient.valid) {
        for (const std::string& part : lenient.parts) {
            const std::int32_t v = qm::Text_To_Int(part, 1000);
            Require(v >= 0 && v <= 255, "Check_IP_Address accepted a part outside 0..255", shown);
            Require(qm::Trim(part) == part, "Check_IP_Address returned an untrimmed part", shown);
        }
    }
    const qm::Ip_Bytes strict = qm::Split_IP_Address(text);
    // The rule image stores what the S7comm check let through, so strict must imply lenient.
    if (!strict.bad) {
        Require(lenient.valid, "Split_IP_Address accepted an address that Check_IP_Address refuses", shown);
    }
    if (size >= 4) {
        // Any four bytes written the usual way come back exactly.
        const std::string dotted = std::to_string(data[0]) + "." + std::to_string(data[1]) + "." +
                                   std::to_string(data[2]) + "." + std::to_string(data[3]);
        const qm::Ip_Bytes split = qm::Split_IP_Address(dotted);
        Require(!split.bad && std::memcmp(split.bytes.data(), data, 4) == 0, "Split_IP_Address round trip", dotted);
        Require(qm::Check_IP_Address(dotted).valid, "Check_IP_Address refused a plain address", dotted);
    }

    // Either separator is accepted whatever the user's own is, so both must agree.
    const qm::Float_Result comma = qm::Str_To_Float_Local(text, ',');
    const qm::Float_Result dot = qm::Str_To_Float_Local(text, '.');
    Require(comma.ok == dot.ok, "Str_To_Float_Local depends on the separator passed", shown);
    if (!comma.ok) {
        Require(comma.value == 1.0F && dot.value == 1.0F, "Str_To_Float_Local failure value is not 1.0", shown);
    } else {
        Require(std::memcmp(&comma.value, &dot.value, sizeof(float)) == 0,
                "Str_To_Float_Local gives different values per separator", shown);
        // Digits, one separator, an optional exponent: never "inf", "nan" or a hex float.
        bool digit = false;
        for (const char c : text) {
            digit = digit || (c >= '0' && c <= '9');
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            Require(!letter || c == 'e' || c == 'E', "Str_To_Float_Local accepted a letter", shown);
        }
        Require(digit, "Str_To_Float_Local accepted a text without digits", shown);
    }

    // The version service's reply is read from the network: anything may come.
    if (qm::Reply_Offers_Newer(text, "1.000")) {
        Require(qm::Conv_Version(qm::Trim(text)) > 1000, "a reply not above 1.000 offered as newer", shown);
    }

    const std::string_view trimmed = qm::Trim(text);
    Require(trimmed.empty() || (static_cast<unsigned char>(trimmed.front()) > 32 &&
                                static_cast<unsigned char>(trimmed.back()) > 32),
            "Trim left a blank at an end", shown);
    Require(qm::Upper_Ascii(text).size() == text.size(), "Upper_Ascii changed the length", shown);
    return 0;
}
