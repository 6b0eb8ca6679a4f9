#include "language/lang_file.h"

#include "common/conversions.h"
#include "language/default_strings.h"

#include <stdexcept>

namespace qm {
namespace {

constexpr std::string_view Pilcrow = "\xC2\xB6"; // U+00B6 in UTF-8
constexpr std::string_view Remark_Mark = "/#/";

// Optional sign and decimal digits only; out of range values are reported as -1.
std::optional<int> Decimal_Index(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        if (value < 1'000'000) {
            value = value * 10 + (c - '0');
        }
    }
    if (negative && value != 0) {
        return -1;
    }
    return value < Default_String_Count ? static_cast<int>(value) : Default_String_Count;
}

bool Is_Trimmed_Char(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::optional<Language_Line> Parse_Language_Line(std::string_view line) {
    line = Trim(line);
    if (!line.starts_with("STR")) {
        return std::nullopt;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<int> index = Decimal_Index(Trim(line.substr(3, equals - 3)));
    if (!index || *index < 0 || *index >= Default_String_Count) {
        return std::nullopt;
    }
    std::string_view text = Trim(line.substr(equals + 1));
    if (text.empty()) {
        return std::nullopt;
    }
    if (const std::size_t remark = text.find(Remark_Mark); remark != std::string_view::npos) {
        text = Trim(text.substr(0, remark));
        if (text.empty()) {
            return std::nullopt;
        }
    }
    // Pilcrows protect blanks at the ends: "¶ text ¶" keeps both, "¶¶" sets an empty text.
    if (text.starts_with(Pilcrow)) {
        text.remove_prefix(Pilcrow.size());
    }
    if (const std::size_t end = text.find(Pilcrow); end != std::string_view::npos) {
        text = text.substr(0, end);
    }
    return Language_Line{*index, std::string(text)};
}

std::optional<std::string> Format_Language_Line(int index, std::string_view text) {
    if (index < 0 || index >= Default_String_Count ||
        text.find(Remark_Mark) != std::string_view::npos ||
        text.find(Pilcrow) != std::string_view::npos ||
        text.find_first_of("\r\n") != std::string_view::npos) {
        return std::nullopt;
    }
    std::string line = "STR" + std::to_string(index) + " = ";
    if (text.empty() || Is_Trimmed_Char(text.front()) || Is_Trimmed_Char(text.back())) {
        line += Pilcrow;
        line += text;
        line += Pilcrow;
    } else {
        line += text;
    }
    return line;
}

std::string English_Language_File_Text() {
    std::string file = "\xEF\xBB\xBF";
    file += "English texts of Quillmaker, written by qm-lang-export from the built-in defaults. "
            "A text between pilcrows keeps the blanks at its ends.\r\n";
    for (int i = 0; i < Default_String_Count; ++i) {
        const std::string& text = Default_String(i);
        if (text == " ") {
            continue;
        }
        const std::optional<std::string> line = Format_Language_Line(i, text);
        if (!line) {
            // A built-in default is fixed at compile time; one the format cannot carry is a
            // mistake in the table that must not slip into the shipped file unnoticed.
            throw std::logic_error("entry " + std::to_string(i) +
                                   " cannot be written as a language file line");
        }
        file += *line;
        file += "\r\n";
    }
    return file;
}

} // namespace qm
