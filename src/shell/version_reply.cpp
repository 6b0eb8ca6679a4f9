#include "shell/version_reply.h"

#include "common/conversions.h"

#include <string>

namespace qm {

int Conv_Version(std::string_view ver_str) {
    const std::size_t blank = ver_str.find(' ');
    const std::string_view version = Trim(blank == std::string_view::npos ? ver_str : ver_str.substr(blank + 1));
    if (version.size() < 5) {
        return -1;
    }
    // The point (2nd character) is skipped unread; anything after the 5th character is ignored.
    int number = 0;
    for (const std::size_t i : {0U, 2U, 3U, 4U}) {
        const char c = version[i];
        if (c < '0' || c > '9') {
            return -1;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

bool Reply_Offers_Newer(std::string_view reply, std::string_view program_version) {
    const std::string_view trimmed = Trim(reply);
    if (trimmed.empty() || Upper_Ascii(trimmed) == "VER. 0.000") {
        return false;
    }
    const int own = Conv_Version(program_version);
    const int offered = Conv_Version(trimmed);
    return own != -1 && offered != -1 && offered > own;
}

} // namespace qm
