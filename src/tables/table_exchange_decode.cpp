// Decoding what a spreadsheet wrote (UTF-8, UTF-16, Windows-1252), its limits, and the list of
// errors the import and the clipboard blocks report.
#include "tables/exchange_rules.h"

#include <algorithm>
#include <utility>

#include "common/conversions.h"
#include "language/text_decode.h"

namespace qm::exchange_rules {

namespace {

struct Decoded {
    std::string text;
    std::optional<std::string> error; // without "line N: "
    int error_line = 0;
};

int Line_Of_Offset(std::string_view text, std::size_t offset) {
    int line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

std::string Hex_Byte(unsigned char b) {
    static constexpr char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[b >> 4] + digits[b & 0x0F];
}

// Spreadsheets write UTF-8 (with or without byte-order mark), UTF-16 with one ("Unicode Text"),
// or Windows-1252 (Excel's plain CSV on Western Windows). Nothing is guessed: a file that is
// neither wholly UTF-8 nor wholly 8-bit text is refused rather than read as the wrong one, which
// would change every accented letter of the list.
Decoded Decode(std::string_view bytes) {
    Decoded out;
    const auto fail = [&](std::string text, std::string_view where, std::size_t offset) {
        out.error = std::move(text);
        out.error_line = Line_Of_Offset(where, offset);
        return out;
    };
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        const std::string_view body = bytes.substr(3);
        if (const std::size_t bad = First_Invalid_Utf8(body); bad != std::string_view::npos) {
            return fail(L(et::Bad_Utf8), body, bad);
        }
        out.text.assign(body);
    } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        Decoded_Text decoded = Decode_Text(bytes, 1252); // the page is not used behind a byte-order mark
        if (decoded.invalid_characters > 0) {
            const std::size_t at = decoded.utf8.find("\xEF\xBF\xBD");
            return fail(L(et::Bad_Utf16), decoded.utf8, at == std::string::npos ? 0 : at);
        }
        out.text = std::move(decoded.utf8);
    } else if (const std::size_t bad = First_Invalid_Utf8(bytes); bad == std::string_view::npos) {
        out.text.assign(bytes);
    } else if (Has_Utf8_Multibyte(bytes)) {
        return fail(L(et::Mixed_Encoding), bytes, bad);
    } else if (const std::size_t undefined = Decode_Windows_1252(bytes, out.text);
               undefined != std::string_view::npos) {
        return fail(L(et::Undefined_Byte) + Hex_Byte(static_cast<unsigned char>(bytes[undefined])) + L(et::Undefined_End),
                    bytes, undefined);
    }
    // Whatever the encoding: UTF-16 without a byte-order mark, or no text at all.
    if (const std::size_t nul = out.text.find('\0'); nul != std::string::npos) {
        const std::string text = std::move(out.text);
        out.text.clear();
        return fail(L(et::Nul), text, nul);
    }
    return out;
}

} // namespace

std::vector<Exchange_Error> Error_List::Take() {
    std::stable_sort(errors_.begin(), errors_.end(),
                     [](const Exchange_Error& a, const Exchange_Error& b) { return a.line < b.line; });
    if (more_ > 0) {
        errors_.push_back({0, L(et::More) + std::to_string(more_) + L(more_ == 1 ? et::More_One : et::More_End)});
    }
    return std::move(errors_);
}

Prepared Prepare(std::string_view bytes, Error_List& errors, bool find_separator) {
    Prepared p;
    if (bytes.size() > Max_Exchange_File_Bytes) {
        errors.Add(0, L(et::Too_Large) + std::to_string(Max_Exchange_File_Bytes) + L(et::Bytes));
        p.failed = true;
        return p;
    }
    Decoded decoded = Decode(bytes);
    if (decoded.error) {
        errors.Add(decoded.error_line, *decoded.error);
        p.failed = true;
        return p;
    }
    if (const int line = First_Line_Longer_Than(decoded.text, Max_Exchange_Line_Bytes); line > 0) {
        errors.Add(line, L(et::Long_Line) + std::to_string(Max_Exchange_Line_Bytes) + L(et::Bytes));
        p.failed = true;
        return p;
    }
    p.text = std::move(decoded.text);
    if (find_separator) {
        // Excel honours a first line "sep=;" and some tools write one; the header follows it.
        const std::string_view text = p.text;
        if (text.size() >= 5 && Upper_Ascii(text.substr(0, 4)) == "SEP=" &&
            (text.size() == 5 || text[5] == '\r' || text[5] == '\n') &&
            (text[4] == ',' || text[4] == ';' || text[4] == '\t')) {
            p.separator = text[4];
            p.text.erase(0, 5); // its line end stays: line 1 is then empty and the header keeps line 2
        } else {
            p.separator = Detect_Separator(text);
        }
    }
    return p;
}

bool Is_Blank_Record(const Csv_Record& record) {
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const std::string& f) { return Trim(f).empty(); });
}

void Add_Syntax_Errors(const std::vector<Csv_Syntax_Error>& syntax, Error_List& errors, bool block, int top_row) {
    for (const Csv_Syntax_Error& e : syntax) {
        const std::string text = L(e.kind == Csv_Syntax::Stray_Quote ? et::Stray_Quote : et::Unclosed_Quote);
        if (block) {
            errors.Add(0, L(et::Row) + std::to_string(top_row + e.line - 1) + L(et::Colon) + text);
        } else {
            errors.Add(e.line, text);
        }
    }
}

} // namespace qm::exchange_rules

namespace qm {

std::optional<Exchange_Error> Decode_Exchange_Text(std::string_view bytes, std::string& text) {
    exchange_rules::Decoded decoded = exchange_rules::Decode(bytes);
    if (decoded.error) {
        text.clear();
        return Exchange_Error{decoded.error_line, std::move(*decoded.error)};
    }
    text = std::move(decoded.text);
    return std::nullopt;
}

} // namespace qm
