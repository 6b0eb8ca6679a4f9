#pragma once
// Reading the maker's answer to the version query: "VER. 1.002", or "VER. 0.000" when it has
// no version to offer. Qt-free, so the rules can be tested without a network.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// A reply longer than this is not a version text; the query stops reading there.
inline constexpr std::size_t Max_Version_Reply_Bytes = 4096;
// The status line and headers of the reply may take this much more.
inline constexpr std::size_t Max_Version_Head_Bytes = 8192;

// The whole version query as sent: an HTTP/1.0 GET with only Accept and User-Agent besides the
// Host line (name-based hosting needs it), so no compression, language or keep-alive is negotiated.
std::string Version_Request(std::string_view host, unsigned port, std::string_view path);

// The body of a raw HTTP reply read up to the closed connection, when its status is 2xx and
// the body is whole (as long as its Content-Length, when given) and no longer than
// Max_Version_Reply_Bytes. Anything else, a redirect included, is a failed query: nullopt.
std::optional<std::string> Http_Reply_Body(std::string_view raw);

// True when the raw reply read so far is whole without waiting for the server to close: its
// head is complete and it gives a Content-Length that the body has reached. A server that keeps
// the connection open after answering is then not waited for.
bool Http_Reply_Complete(std::string_view raw);

// The number of a version text "d.ddd", optionally preceded by a word and a blank: "1.000" is
// 1000, "VER. 1.002" is 1002. -1 when the text after the first blank is shorter than five
// characters or its 1st, 3rd, 4th and 5th characters are not all digits.
int Conv_Version(std::string_view ver_str);

// True when the service's reply names a newer version than program_version. An empty reply
// (a failed query), "VER. 0.000" in any case, and anything that is not a version text are not newer.
bool Reply_Offers_Newer(std::string_view reply, std::string_view program_version);

} // namespace qm
