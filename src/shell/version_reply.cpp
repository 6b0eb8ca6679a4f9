#include "shell/version_reply.h"

#include "common/conversions.h"

#include <cctype>
#include <charconv>
#include <string>

namespace qm {
namespace {

bool Same_Ascii_Case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The value of a header field in a reply head, trimmed; empty when the field is missing.
std::optional<std::string_view> Header_Field(std::string_view head, std::string_view name) {
    std::size_t at = head.find('\n');
    while (at != std::string_view::npos && at + 1 < head.size()) {
        const std::size_t start = at + 1;
        const std::size_t end = head.find('\n', start);
        std::string_view line = head.substr(start, end == std::string_view::npos ? head.size() - start : end - start);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && Same_Ascii_Case(Trim(line.substr(0, colon)), name)) {
            return Trim(line.substr(colon + 1));
        }
        at = end;
    }
    return std::nullopt;
}

// Where the head ends and the body starts; nullopt while the head is not complete.
struct Reply_Parts {
    std::string_view head;
    std::string_view body;
};
std::optional<Reply_Parts> Split_Reply(std::string_view raw) {
    // Servers end header lines with CR LF; a bare LF is taken too.
    std::size_t head_end = raw.find("\r\n\r\n");
    std::size_t body_start = head_end == std::string_view::npos ? 0 : head_end + 4;
    if (head_end == std::string_view::npos) {
        head_end = raw.find("\n\n");
        if (head_end == std::string_view::npos) {
            return std::nullopt;
        }
        body_start = head_end + 2;
    }
    return Reply_Parts{raw.substr(0, head_end), raw.substr(body_start)};
}

std::optional<std::size_t> Content_Length(std::string_view head) {
    const auto length = Header_Field(head, "Content-Length");
    if (!length) {
        return std::nullopt;
    }
    std::size_t expected = 0;
    const auto [end, error] = std::from_chars(length->data(), length->data() + length->size(), expected);
    if (error != std::errc() || end != length->data() + length->size()) {
        return std::nullopt;
    }
    return expected;
}

} // namespace

std::string Version_Request(std::string_view host, unsigned port, std::string_view path) {
    std::string request = "GET ";
    request += path;
    request += " HTTP/1.0\r\nHost: ";
    request += host;
    if (port != 0 && port != 80) {
        request += ':' + std::to_string(port);
    }
    request += "\r\nAccept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
               "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n\r\n";
    return request;
}

std::optional<std::string> Http_Reply_Body(std::string_view raw) {
    const auto parts = Split_Reply(raw);
    if (!parts) {
        return std::nullopt;
    }
    const std::string_view head = parts->head;
    // "HTTP/1.x 200 Reason"
    if (head.size() < 12 || head.substr(0, 7) != "HTTP/1." || head[8] != ' ') {
        return std::nullopt;
    }
    int status = 0;
    const auto [end, error] = std::from_chars(head.data() + 9, head.data() + 12, status);
    if (error != std::errc() || end != head.data() + 12 || status < 200 || status > 299) {
        return std::nullopt;
    }
    std::string_view body = parts->body;
    if (Header_Field(head, "Content-Length")) {
        const auto expected = Content_Length(head);
        if (!expected || body.size() < *expected) {
            return std::nullopt; // cut short, or a length that is not a number
        }
        body = body.substr(0, *expected);
    }
    if (body.size() > Max_Version_Reply_Bytes) {
        return std::nullopt; // not a version text
    }
    if (const auto coding = Header_Field(head, "Transfer-Encoding"); coding && !Same_Ascii_Case(*coding, "identity")) {
        return std::nullopt; // never asked for by an HTTP/1.0 request
    }
    return std::string(body);
}

bool Http_Reply_Complete(std::string_view raw) {
    const auto parts = Split_Reply(raw);
    if (!parts) {
        return false;
    }
    const auto expected = Content_Length(parts->head);
    return expected && parts->body.size() >= *expected;
}

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
