#include "tables/csv_text.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace qm {
namespace {

// Line breaks in a piece of text, CR LF counting once.
int Count_Breaks(std::string_view text) {
    // Nearly every field has none: two library searches settle that at once.
    if (std::memchr(text.data(), '\n', text.size()) == nullptr && std::memchr(text.data(), '\r', text.size()) == nullptr) {
        return 0;
    }
    int breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++breaks;
        } else if (text[i] == '\r') {
            ++breaks;
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        }
    }
    return breaks;
}

struct Reader {
    const std::function<void(Csv_Record&)>* on_record = nullptr;
    Csv_Record record;
    int line = 1;          // the line the record being read starts on
    int breaks = 0;        // line breaks inside its quoted fields so far
    bool after_cr = false; // the last record ended with a CR: a LF right after is the same break
};

void On_Field(void* data, std::size_t length, void* user) {
    Reader& r = *static_cast<Reader*>(user);
    // libcsv has no buffer yet for an empty first field: data is null then.
    std::string field = data == nullptr ? std::string() : std::string(static_cast<const char*>(data), length);
    r.breaks += Count_Breaks(field);
    r.record.fields.push_back(std::move(field));
}

void On_Record(int terminator, void* user) {
    Reader& r = *static_cast<Reader*>(user);
    if (terminator == '\n' && r.after_cr && r.record.fields.empty()) {
        r.after_cr = false; // the LF of a CR LF, reported on its own because of CSV_REPALL_NL
        return;
    }
    r.record.line = r.line;
    (*r.on_record)(r.record);
    r.line += r.breaks + (terminator == -1 ? 0 : 1);
    r.breaks = 0;
    r.after_cr = terminator == '\r';
    r.record.fields.clear();
}

// Blanks are data here: libcsv would otherwise drop them around unquoted fields.
int Never_Space(unsigned char) {
    return 0;
}

// The first CR or LF from offset on, or text.size(). (find_first_of would search its set of two
// characters once for every character of the text.)
std::size_t Line_End(std::string_view text, std::size_t offset) {
    for (std::size_t i = offset; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            return i;
        }
    }
    return text.size();
}

// Where the line after offset begins, past its CR, LF or CR LF; text.size() when none follows.
std::size_t Next_Line_Start(std::string_view text, std::size_t offset) {
    const std::size_t end = Line_End(text, offset);
    if (end >= text.size()) {
        return text.size();
    }
    return end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
}

// Where reading goes on after a syntax error at offset. In a quoted field the quote before the
// error was most likely meant as text (a certificate with a quote in it) when the next quote
// closes a field (a separator or a line end follows it): the record then ends at the line end
// after that quote, over the lines between. Otherwise the record ends with its line.
std::size_t Broken_Record_End(std::string_view text, std::size_t offset, bool in_quoted_field, char separator) {
    if (in_quoted_field) {
        std::size_t quote = text.find('"', offset);
        while (quote != std::string_view::npos && quote + 1 < text.size() && text[quote + 1] == '"') {
            quote = text.find('"', quote + 2); // a doubled quote is text
        }
        if (quote != std::string_view::npos) {
            const char after = quote + 1 < text.size() ? text[quote + 1] : '\n';
            if (after == separator || after == '\r' || after == '\n') {
                return Next_Line_Start(text, quote + 1);
            }
        }
    }
    return Next_Line_Start(text, offset);
}

} // namespace

std::vector<Csv_Syntax_Error> Read_Csv(std::string_view text, char separator,
                                       const std::function<void(Csv_Record&)>& on_record) {
    std::vector<Csv_Syntax_Error> errors;
    Reader reader;
    reader.on_record = &on_record;
    std::size_t position = 0;
    int position_line = 1; // the line position lies on
    while (true) {
        csv_parser parser;
        csv_init(&parser, CSV_STRICT | CSV_REPALL_NL | CSV_STRICT_FINI);
        csv_set_delim(&parser, static_cast<unsigned char>(separator));
        csv_set_space_func(&parser, Never_Space);
        // No field is longer than the text: one block for the longest, instead of libcsv's
        // growth by 128 bytes, which copies a long field over and over.
        csv_set_blk_size(&parser, text.size() - position + 1);
        const std::size_t rest = text.size() - position;
        const std::size_t parsed = csv_parse(&parser, text.data() + position, rest, On_Field, On_Record, &reader);
        if (parsed < rest || csv_error(&parser) != CSV_SUCCESS) {
            const bool in_quoted_field = parser.quoted != 0;
            csv_free(&parser);
            // The line of the offending character, not of the record it belongs to.
            const std::size_t error_at = position + parsed;
            errors.push_back({position_line + Count_Breaks(text.substr(position, error_at - position)),
                              Csv_Syntax::Stray_Quote});
            // Go on after the broken record, so that one misplaced quote is one error.
            const std::size_t next = Broken_Record_End(text, error_at, in_quoted_field, separator);
            const bool ends_text = next >= text.size();
            position_line += Count_Breaks(text.substr(position, next - position));
            position = next;
            reader.record.fields.clear();
            reader.breaks = 0;
            reader.after_cr = false;
            reader.line = position_line;
            if (ends_text) {
                break;
            }
            continue;
        }
        if (csv_fini(&parser, On_Field, On_Record, &reader) != 0) {
            errors.push_back({reader.line, Csv_Syntax::Unclosed_Quote});
        }
        csv_free(&parser);
        break;
    }
    return errors;
}

char Detect_Separator(std::string_view text) {
    constexpr std::array<char, 3> candidates = {'\t', ';', ','};
    std::array<int, 3> counts{};
    bool quoted = false;
    // Empty lines before the header are skipped by the reader, so they are here.
    const std::size_t first = text.find_first_not_of("\r\n");
    text.remove_prefix(first == std::string_view::npos ? text.size() : first);
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\r' || c == '\n')) {
            break;
        } else if (!quoted) {
            for (std::size_t k = 0; k < candidates.size(); ++k) {
                counts[k] += c == candidates[k] ? 1 : 0;
            }
        }
    }
    const auto best = std::max_element(counts.begin(), counts.end()); // the first of equals
    return *best == 0 ? ',' : candidates[static_cast<std::size_t>(best - counts.begin())];
}

Csv_Shape Measure_Csv(std::string_view text, char separator) {
    Csv_Shape shape;
    long fields = 1;
    bool quoted = false;
    bool row_open = false; // characters since the last line end
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!quoted && (c == '\r' || c == '\n')) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            ++shape.rows;
            shape.widest = std::max(shape.widest, fields);
            fields = 1;
            row_open = false;
            continue;
        }
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == separator) {
            ++fields;
        }
        row_open = true;
    }
    if (row_open) {
        ++shape.rows;
        shape.widest = std::max(shape.widest, fields);
    }
    return shape;
}

int First_Line_Longer_Than(std::string_view text, std::size_t max_bytes) {
    int line = 1;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = Line_End(text, start);
        if (end - start > max_bytes) {
            return line;
        }
        if (end >= text.size()) {
            break;
        }
        start = Next_Line_Start(text, end);
        ++line;
    }
    return 0;
}

void Append_Csv_Field(std::string& out, std::string_view field, char separator) {
    bool needs_quotes = !field.empty() && (field.front() == ' ' || field.back() == ' ' || field.front() == '\t' ||
                                           field.back() == '\t');
    for (const char c : field) {
        needs_quotes = needs_quotes || c == separator || c == '"' || c == '\r' || c == '\n';
    }
    if (!needs_quotes) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

} // namespace qm
