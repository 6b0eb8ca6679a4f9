// Recognising a file of PLC tags, and the readers of the tag table (XML) and the symbol tables.
#include "tags/plc_tags.h"

#include <algorithm>
#include <cctype>

#include <pugixml.hpp>

#include "common/conversions.h"
#include "common/xml_io.h"
#include "language/lang_strings.h"
#include "language/text_decode.h"
#include "tables/table_exchange.h"
#include "tags/tags_texts.h"

namespace qm {

namespace {

// Lines of offsets met in ascending order, as a walk in document order meets them: each byte is
// counted once, however many tags the file holds.
class Line_Counter {
public:
    explicit Line_Counter(std::string_view text) : text_(text) {}
    int Line_At(std::ptrdiff_t offset) {
        const std::size_t end = std::min(text_.size(), static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)));
        for (; at_ < end; ++at_) {
            line_ += text_[at_] == '\n' ? 1 : 0;
        }
        return line_;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
};

// The lines of a text with their numbers.
struct Text_Line {
    int number;
    std::string_view text;
};
std::vector<Text_Line> Lines_Of(std::string_view text) {
    std::vector<Text_Line> lines;
    int number = 0;
    for (const std::string_view line : Split_Lines(text)) {
        lines.push_back({++number, line});
    }
    return lines;
}

std::string_view First_Line(std::string_view text) {
    for (const Text_Line& line : Lines_Of(text)) {
        if (!Trim(line.text).empty()) {
            return Trim(line.text);
        }
    }
    return {};
}

bool Has_Keyword_Line(std::string_view text, std::string_view keyword) {
    for (const Text_Line& line : Lines_Of(text)) {
        const std::string upper = Upper_Ascii(Trim(line.text));
        if (upper.starts_with(keyword) &&
            (upper.size() == keyword.size() || std::isspace(static_cast<unsigned char>(upper[keyword.size()])) ||
             upper[keyword.size()] == '"')) {
            return true;
        }
    }
    return false;
}

std::string Child_Text(pugi::xml_node node, const char* name) {
    return std::string(Trim(node.child(name).text().get()));
}

// The comment of a tag: the first text of its Comment that is not empty, whatever its language.
std::string Tag_Comment(pugi::xml_node tag) {
    for (pugi::xml_node text : tag.child("ObjectList").children("MultilingualText")) {
        if (std::string_view(text.attribute("CompositionName").value()) != "Comment") {
            continue;
        }
        for (pugi::xml_node item : text.child("ObjectList").children("MultilingualTextItem")) {
            const std::string comment = Child_Text(item.child("AttributeList"), "Text");
            if (!comment.empty()) {
                return comment;
            }
        }
    }
    return {};
}

// Every tag element below root in document order. A walk, not a recursion: a hostile file may
// nest elements a million deep.
void Collect_Tags(pugi::xml_node root, std::string_view text, Tag_Read_Result& result) {
    Line_Counter lines(text);
    pugi::xml_node node = root.first_child();
    while (node) {
        if (node.type() == pugi::node_element && std::string_view(node.name()) == "SW.Tags.PlcTag") {
            const pugi::xml_node attributes = node.child("AttributeList");
            Add_Area_Tag(result, Child_Text(attributes, "Name"), Child_Text(attributes, "DataTypeName"),
                         Child_Text(attributes, "LogicalAddress"), Tag_Comment(node),
                         lines.Line_At(node.offset_debug()));
        } else if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling()) {
            node = node.parent();
        }
        if (node == root) {
            return;
        }
        node = node.next_sibling();
    }
}

// One record of an SDF file: quoted fields separated by commas, "" inside a field for a quote.
bool Split_Sdf(std::string_view line, std::vector<std::string>& fields) {
    fields.clear();
    std::size_t at = 0;
    while (true) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
            ++at;
        }
        std::string field;
        if (at < line.size() && line[at] == '"') {
            ++at;
            while (true) {
                if (at >= line.size()) {
                    return false;
                }
                if (line[at] == '"') {
                    if (at + 1 < line.size() && line[at + 1] == '"') {
                        field += '"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                field += line[at++];
            }
        } else {
            while (at < line.size() && line[at] != ',') {
                field += line[at++];
            }
        }
        fields.push_back(field);
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
            ++at;
        }
        if (at >= line.size()) {
            return true;
        }
        if (line[at] != ',') {
            return false;
        }
        ++at;
    }
}

std::string Field(std::string_view line, std::size_t from, std::size_t count) {
    if (from >= line.size()) {
        return {};
    }
    return std::string(Trim(line.substr(from, count)));
}

} // namespace

void Drop_Tags_On_Error(Tag_Read_Result& result) {
    if (!result.ok()) {
        result.tags.clear();
        result.left_out.clear();
    }
}

std::optional<Tag_Error> Decode_Tag_Text(std::string_view bytes, std::string& text) {
    if (std::optional<Exchange_Error> error = Decode_Exchange_Text(bytes, text)) {
        return Tag_Error{error->line, std::move(error->text)};
    }
    return std::nullopt;
}

Tag_File_Kind Detect_Tag_File(std::string_view bytes) {
    if (bytes.starts_with("PK\x03\x04")) {
        return Tag_File_Kind::Tag_Table_Xlsx;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    const std::string_view first = First_Line(bytes);
    if (first.starts_with('<')) {
        return bytes.find("SW.Tags.PlcTag") != std::string_view::npos ? Tag_File_Kind::Tag_Table_Xml
                                                                      : Tag_File_Kind::Unknown;
    }
    if (first.starts_with("126,")) {
        return first.find('\t') != std::string_view::npos ? Tag_File_Kind::Symbol_Seq : Tag_File_Kind::Symbol_Asc;
    }
    if (first.starts_with('"') && first.find("\",\"") != std::string_view::npos) {
        return Tag_File_Kind::Symbol_Sdf;
    }
    if (Has_Keyword_Line(bytes, "DATA_BLOCK") || Has_Keyword_Line(bytes, "TYPE")) {
        return Tag_File_Kind::Db_Source;
    }
    return Tag_File_Kind::Unknown;
}

Tag_Read_Result Read_Tag_File(std::string_view bytes, long db) {
    const Tag_File_Kind kind = Detect_Tag_File(bytes);
    switch (kind) {
    case Tag_File_Kind::Tag_Table_Xml: return Read_Tag_Table_Xml(bytes);
    case Tag_File_Kind::Symbol_Sdf:
    case Tag_File_Kind::Symbol_Seq:
    case Tag_File_Kind::Symbol_Asc: return Read_Symbol_Table(bytes, kind);
    case Tag_File_Kind::Db_Source: return Read_Db_Source(bytes, db);
    case Tag_File_Kind::Tag_Table_Xlsx:
#ifdef QM_HAVE_XLSX
        return Read_Tag_Table_Xlsx(bytes);
#else
    {
        Tag_Read_Result result;
        result.kind = kind;
        result.errors.push_back({0, Lang(tags_text::Xlsx_Not_Built)});
        return result;
    }
#endif
    case Tag_File_Kind::Unknown: break;
    }
    Tag_Read_Result result;
    result.errors.push_back({0, Lang(tags_text::Not_Tag_File)});
    return result;
}

Tag_Read_Result Read_Tag_Table_Xml(std::string_view bytes) {
    Tag_Read_Result result;
    result.kind = Tag_File_Kind::Tag_Table_Xml;
    pugi::xml_document doc;
    const Xml_Load_Result loaded = Load_Xml_Text(bytes, "", doc);
    if (!loaded.ok()) {
        // The message names the line and column; drop the empty file name before it.
        const std::string_view message = loaded.message;
        result.errors.push_back({0, std::string(message.starts_with(": ") ? message.substr(2) : message)});
        return result;
    }
    const pugi::xml_node root = doc.document_element();
    if (std::string_view(root.name()) != "Document" ||
        !root.find_node([](pugi::xml_node n) { return std::string_view(n.name()) == "SW.Tags.PlcTagTable"; })) {
        result.errors.push_back({0, Lang(tags_text::Not_Tag_File)});
        return result;
    }
    Collect_Tags(root, bytes, result);
    Drop_Tags_On_Error(result);
    return result;
}

Tag_Read_Result Read_Symbol_Table(std::string_view bytes, Tag_File_Kind kind) {
    Tag_Read_Result result;
    result.kind = kind;
    std::string text;
    if (std::optional<Tag_Error> error = Decode_Tag_Text(bytes, text)) {
        result.errors.push_back(std::move(*error));
        return result;
    }
    std::vector<std::string> fields;
    for (const Text_Line& line : Lines_Of(text)) {
        if (result.errors.size() >= Max_Listed_Tag_Errors) {
            break;
        }
        if (Trim(line.text).empty()) {
            continue;
        }
        const auto bad_line = [&] { result.errors.push_back({line.number, Lang(tags_text::Not_Tag_File)}); };
        if (kind == Tag_File_Kind::Symbol_Sdf) {
            if (!Split_Sdf(line.text, fields) || fields.size() < 3) {
                bad_line();
                continue;
            }
            Add_Area_Tag(result, fields[0], fields[2], fields[1], fields.size() > 3 ? std::string(Trim(fields[3])) : "",
                         line.number);
            continue;
        }
        if (!line.text.starts_with("126,")) {
            bad_line();
            continue;
        }
        const std::string_view record = line.text.substr(4);
        if (kind == Tag_File_Kind::Symbol_Seq) {
            // <address> TAB <symbol> TAB <type> TAB <comment>
            fields.clear();
            std::size_t start = 0;
            for (std::size_t i = 0; i <= record.size(); ++i) {
                if (i == record.size() || record[i] == '\t') {
                    fields.emplace_back(record.substr(start, i - start));
                    start = i + 1;
                }
            }
            if (fields.size() < 3) {
                bad_line();
                continue;
            }
            Add_Area_Tag(result, fields[1], fields[2], fields[0], fields.size() > 3 ? std::string(Trim(fields[3])) : "",
                         line.number);
        } else {
            // Fixed columns after "126,": symbol 24, address 12, data type 10, comment 80.
            Add_Area_Tag(result, Field(record, 0, 24), Field(record, 36, 10), Field(record, 24, 12),
                         Field(record, 46, 80), line.number);
        }
    }
    Drop_Tags_On_Error(result);
    return result;
}

} // namespace qm
