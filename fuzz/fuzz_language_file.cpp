// A language file of any bytes: it loads or is refused with a message naming it, the table
// keeps its 1900 entries of valid UTF-8, and every entry a line sets can be written back as a
// line that reads the same.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "language/lang_file.h"
#include "language/lang_table.h"
#include "language/text_decode.h"

namespace {

using qm::fuzz::Require;

bool Valid_Utf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            n = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        for (std::size_t k = 1; k <= n; ++k) {
            if (i + k >= s.size()) {
                return false;
            }
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (d & 0x3F);
        }
        const char32_t min = n == 1 ? 0x80 : n == 2 ? 0x800 : 0x10000;
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += n + 1;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = qm::fuzz::As_Text(data, size);
    const std::string path = qm::fuzz::Scratch_Dir() + "/Fuzz.lng";
    qm::fuzz::Write_Bytes(path, bytes);

    qm::Load_Default_Strings();
    const qm::Language_Load_Result loaded = qm::Load_Language_File(path);
    Require(qm::Lang_Table.size() == static_cast<std::size_t>(qm::Lang_Table_Size), "table size changed");
    if (!loaded.ok) {
        Require(loaded.message.find(path) != std::string::npos, "refusal does not name the file", loaded.message);
        Require(loaded.lines_applied == 0, "a refused file changed entries");
    }

    const qm::Decoded_Text decoded = qm::Decode_Text(bytes);
    Require(Valid_Utf8(decoded.utf8), "decoded text is not valid UTF-8");
    for (const std::string_view line : qm::Split_Lines(decoded.utf8)) {
        Require(line.find_first_of("\r\n") == std::string_view::npos, "a line holds a line end");
        const std::optional<qm::Language_Line> entry = qm::Parse_Language_Line(line);
        if (!entry) {
            continue;
        }
        Require(entry->index >= 0 && entry->index < qm::Lang_Table_Size, "index outside the table");
        if (const std::optional<std::string> written = qm::Format_Language_Line(entry->index, entry->text)) {
            const std::optional<qm::Language_Line> again = qm::Parse_Language_Line(*written);
            Require(again && again->index == entry->index && again->text == entry->text,
                    "a formatted line does not read back as written", *written);
        }
    }
    if (loaded.ok) {
        for (const std::string& text : qm::Lang_Table) {
            Require(Valid_Utf8(text), "an entry is not valid UTF-8", text);
        }
    }
    return 0;
}
