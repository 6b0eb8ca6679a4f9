#pragma once
// Reading the maker's answer to the version query: "VER. 1.002", or "VER. 0.000" when it has
// no version to offer. Qt-free, so the rules can be tested without a network.

#include <cstddef>
#include <string_view>

namespace qm {

// A reply longer than this is not a version text; the query stops reading there.
inline constexpr std::size_t Max_Version_Reply_Bytes = 4096;

// The number of a version text "d.ddd", optionally preceded by a word and a blank: "1.000" is
// 1000, "VER. 1.002" is 1002. -1 when the text after the first blank is shorter than five
// characters or its 1st, 3rd, 4th and 5th characters are not all digits.
int Conv_Version(std::string_view ver_str);

// True when the service's reply names a newer version than program_version. An empty reply
// (a failed query), "VER. 0.000" in any case, and anything that is not a version text are not newer.
bool Reply_Offers_Newer(std::string_view reply, std::string_view program_version);

} // namespace qm
