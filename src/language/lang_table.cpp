#include "language/lang_table.h"

#include "common/file_io.h"
#include "language/default_strings.h"
#include "language/lang_file.h"
#include "language/text_decode.h"

#include <optional>
#include <string_view>

namespace qm {

Language_Load_Result Load_Language_File(const std::string& path) {
    Language_Load_Result result;
    std::string bytes;
    if (const Io_Result read = Read_File(path, bytes, Max_Language_File_Bytes); !read) {
        result.ok = false;
        result.message = Lang(77) + read.message;
        return result;
    }
    const Decoded_Text decoded = Decode_Text(bytes);
    if (decoded.utf8.find('\0') != std::string::npos) {
        result.ok = false;
        result.message = Lang(77) + path + Lang(78);
        return result;
    }
    if (Lang_Table.size() != static_cast<std::size_t>(Lang_Table_Size)) {
        Load_Default_Strings();
    }
    result.invalid_characters = decoded.invalid_characters;
    for (const std::string_view line : Split_Lines(decoded.utf8)) {
        if (std::optional<Language_Line> entry = Parse_Language_Line(line)) {
            Lang_Table[static_cast<std::size_t>(entry->index)] = std::move(entry->text);
            ++result.lines_applied;
        }
    }
    return result;
}

namespace {

// A name from the settings file or the options window, never a path: a separator or a parent
// reference would read a file outside the language folder.
bool Is_Plain_Language_Name(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0:", 4)) == std::string::npos;
}

} // namespace

Language_Load_Result Init_Language(const std::string& language_dir, std::string& language) {
    Load_Default_Strings();
    if (Is_Plain_Language_Name(language)) {
        const std::string path = Path_Join(language_dir, language + ".lng");
        if (File_Exists(path)) {
            return Load_Language_File(path);
        }
    }
    language = "English";
    const std::string english = Path_Join(language_dir, "English.lng");
    if (File_Exists(english)) {
        return Load_Language_File(english);
    }
    return {};
}

} // namespace qm
