// DB sources with standard block access: the external source of the newer engineering tool
// (DATA_BLOCK "Name", { S7_Optimized_Access := 'FALSE' }, STRUCT or VAR sections) and the AWL
// source of the older one (DATA_BLOCK DB 12, STRUCT ... END_STRUCT ;), with the types of the
// same file (TYPE ... END_TYPE). The variables get their offsets by the standard-access layout:
// Bool packs bits in a byte, Byte and Char take the next byte, every wider type, Struct, Array
// and String the next even byte, and a Struct's or Array's size is rounded up to even.
#include "tags/plc_tags.h"

#include <cctype>
#include <map>
#include <utility>

#include "common/conversions.h"
#include "language/lang_strings.h"
#include "tags/tags_texts.h"

namespace qm {

namespace {

namespace tt = tags_text;

// Raised inside the reader only; Read_Db_Source turns it into the result's one error.
struct Source_Error {
    int line;
    std::string text;
};

[[noreturn]] void Fail(int line, int entry, std::string_view detail = {}) {
    throw Source_Error{line, Lang(entry) + std::string(detail)};
}

inline constexpr std::int64_t Max_Block_Bits = 65536LL * 8; // the highest PLC Add is 65535
inline constexpr int Max_Depth = 32;
// Far above what a block of Max_Tags variables with their initial values takes, far below what
// would strain the memory (a 16 MB file of ";").
inline constexpr std::size_t Max_Tokens = 1'000'000;
inline constexpr std::size_t Max_Members = 4 * Max_Tags;

// ---- tokens ----

enum class Tok { Ident, Quoted, String, Number, Symbol, Attributes, End };

struct Token {
    Tok kind = Tok::End;
    std::string text; // a quoted name without its quotes; the inside of { } for Attributes
    int line = 0;
};

bool Ident_Char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

struct Lexed {
    std::vector<Token> tokens;
    std::map<int, std::string> comments; // the // comment of each line that has one
};

Lexed Lex(std::string_view s) {
    Lexed out;
    int line = 1;
    std::size_t i = 0;
    const auto skip_to_eol = [&] {
        while (i < s.size() && s[i] != '\n') {
            ++i;
        }
    };
    while (i < s.size()) {
        if (out.tokens.size() >= Max_Tokens) {
            Fail(line, tt::Source_Too_Long);
        }
        const char c = s[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (s.substr(i, 2) == "//") {
            const std::size_t start = i + 2;
            skip_to_eol();
            const std::string_view comment = Trim(s.substr(start, i - start));
            if (!comment.empty() && !out.comments.contains(line)) {
                out.comments[line] = std::string(comment);
            }
        } else if (s.substr(i, 2) == "(*") {
            const int start_line = line;
            i += 2;
            while (i < s.size() && s.substr(i, 2) != "*)") {
                line += s[i] == '\n' ? 1 : 0;
                ++i;
            }
            if (i >= s.size()) {
                Fail(start_line, tt::Unexpected_End);
            }
            i += 2;
        } else if (c == '"' || c == '\'' || c == '{') {
            const char close = c == '{' ? '}' : c;
            const int start_line = line;
            std::string text;
            ++i;
            while (i < s.size() && s[i] != close) {
                if (c == '\'' && s[i] == '$' && i + 1 < s.size()) { // $' is a quote inside a string
                    text += s[i++];
                }
                line += s[i] == '\n' ? 1 : 0;
                text += s[i++];
            }
            if (i >= s.size()) {
                Fail(start_line, tt::Unexpected_End);
            }
            ++i;
            out.tokens.push_back({c == '"' ? Tok::Quoted : c == '{' ? Tok::Attributes : Tok::String, text, start_line});
        } else if (Ident_Char(c)) {
            const std::size_t start = i;
            const bool number = std::isdigit(static_cast<unsigned char>(c)) != 0;
            while (i < s.size() && (Ident_Char(s[i]) || (number && s[i] == '.' && s.substr(i, 2) != ".."))) {
                ++i;
            }
            std::string text(s.substr(start, i - start));
            if (!number && Upper_Ascii(text) == "TITLE") {
                // TITLE = free text up to the end of the line
                std::size_t j = i;
                while (j < s.size() && (s[j] == ' ' || s[j] == '\t')) {
                    ++j;
                }
                if (j < s.size() && s[j] == '=') {
                    skip_to_eol();
                    continue;
                }
            }
            out.tokens.push_back({number ? Tok::Number : Tok::Ident, std::move(text), line});
        } else {
            std::string text(1, c);
            if (s.substr(i, 2) == ":=" || s.substr(i, 2) == "..") {
                text = std::string(s.substr(i, 2));
            }
            i += text.size();
            out.tokens.push_back({Tok::Symbol, std::move(text), line});
        }
    }
    out.tokens.push_back({Tok::End, {}, line});
    return out;
}

// ---- declarations ----

struct Member;

struct Type_Node {
    enum Kind { Elementary, String, Struct, Array, Named } kind = Elementary;
    const Elementary_Type* elementary = nullptr;
    long string_length = 254;
    bool wide = false;
    std::vector<Member> members;                   // Struct
    std::vector<std::pair<long, long>> dimensions; // Array
    std::vector<Type_Node> element;                // Array: its one element type
    std::string name;                              // Named: the type's name, "UDT 5" for a numbered one
    int line = 0;
};

struct Member {
    std::string name;
    Type_Node type;
    std::string comment;
    int line = 0;
};

struct Data_Block {
    std::string name;
    long number = 0; // 0: the file gives none
    Type_Node body;  // a Struct
    int line = 0;
};

class Parser {
public:
    explicit Parser(Lexed lexed) : lexed_(std::move(lexed)) {}

    void Parse_File() {
        while (Peek().kind != Tok::End) {
            const Token& token = Peek();
            const std::string word = Upper_Ascii(token.text);
            if (token.kind == Tok::Ident && word == "DATA_BLOCK") {
                Parse_Data_Block();
            } else if (token.kind == Tok::Ident && word == "TYPE") {
                Parse_Type_Block();
            } else if (token.kind == Tok::Ident &&
                       (word == "FUNCTION_BLOCK" || word == "FUNCTION" || word == "ORGANIZATION_BLOCK")) {
                // Code blocks in the same source hold no data of a DB: passed over.
                Next();
                const std::string end = "END_" + word;
                while (Peek().kind != Tok::End && Upper_Ascii(Peek().text) != end) {
                    Next();
                }
                Next();
            } else {
                Fail(token.line, tt::Unexpected, token.text);
            }
        }
    }

    std::vector<Data_Block> blocks;
    std::map<std::string, Type_Node> types; // by upper-case name

private:
    const Token& Peek(std::size_t ahead = 0) const {
        return lexed_.tokens[std::min(at_ + ahead, lexed_.tokens.size() - 1)];
    }
    const Token& Next() {
        const Token& token = Peek();
        if (at_ < lexed_.tokens.size() - 1) {
            ++at_;
        }
        return token;
    }
    bool Is_Word(const Token& token, std::string_view word) const {
        return token.kind == Tok::Ident && Upper_Ascii(token.text) == word;
    }
    bool Is_Symbol(const Token& token, std::string_view symbol) const {
        return token.kind == Tok::Symbol && token.text == symbol;
    }
    void Expect_Symbol(std::string_view symbol) {
        const Token& token = Peek();
        if (token.kind == Tok::End) {
            Fail(token.line, tt::Unexpected_End);
        }
        if (!Is_Symbol(token, symbol)) {
            Fail(token.line, tt::Unexpected, token.text);
        }
        Next();
    }
    long Expect_Number(bool allow_sign = false) {
        bool negative = false;
        if (allow_sign && Is_Symbol(Peek(), "-")) {
            negative = true;
            Next();
        }
        const Token& token = Peek();
        if (token.kind != Tok::Number || token.text.size() > 9 ||
            token.text.find_first_not_of("0123456789") != std::string::npos) {
            Fail(token.line, token.kind == Tok::End ? tt::Unexpected_End : tt::Bad_Bounds, token.text);
        }
        Next();
        const long value = std::stol(token.text);
        return negative ? -value : value;
    }
    // "DB 12", "DB12", "UDT 5", "UDT5": the number after the letters, or -1.
    long Numbered(std::string_view letters) {
        const Token& token = Peek();
        if (token.kind != Tok::Ident) {
            return -1;
        }
        const std::string word = Upper_Ascii(token.text);
        if (word == letters && Peek(1).kind == Tok::Number) {
            Next();
            return Expect_Number();
        }
        if (word.size() > letters.size() && word.starts_with(letters) &&
            word.find_first_not_of("0123456789", letters.size()) == std::string::npos &&
            word.size() - letters.size() <= 9) {
            Next();
            return std::stol(word.substr(letters.size()));
        }
        return -1;
    }

    // Header lines of a block (VERSION : 0.1, NON_RETAIN, AUTHOR : x, { attributes }) up to what
    // starts its declarations; on_attributes sees each { } block.
    template <typename On_Attributes>
    void Skip_Header(On_Attributes on_attributes) {
        while (true) {
            const Token& token = Peek();
            if (token.kind == Tok::End || token.kind == Tok::Quoted || Is_Word(token, "STRUCT") ||
                Is_Word(token, "VAR") || Is_Word(token, "BEGIN") || Is_Word(token, "END_DATA_BLOCK") ||
                Is_Word(token, "END_TYPE") || Is_Word(token, "UDT") || Is_Word(token, "FB") || Is_Word(token, "SFB")) {
                return;
            }
            if (token.kind == Tok::Attributes) {
                on_attributes(token);
                Next();
                continue;
            }
            const int line = token.line;
            while (Peek().kind != Tok::End && Peek().line == line && Peek().kind != Tok::Attributes) {
                Next();
            }
        }
    }

    void Parse_Data_Block() {
        Data_Block block;
        block.line = Next().line;
        if (Peek().kind == Tok::Quoted) {
            block.name = Next().text;
        } else if (const long number = Numbered("DB"); number >= 0) {
            block.number = number;
            block.name = "DB" + std::to_string(number);
        } else {
            Fail(Peek().line, tt::Unexpected, Peek().text);
        }
        Skip_Header([&](const Token& attributes) {
            std::string upper;
            for (const char c : Upper_Ascii(attributes.text)) {
                if (!std::isspace(static_cast<unsigned char>(c))) {
                    upper += c;
                }
            }
            if (upper.find("S7_OPTIMIZED_ACCESS:='TRUE'") != std::string::npos) {
                Fail(attributes.line, tt::Optimized);
            }
        });
        block.body.kind = Type_Node::Struct;
        block.body.line = block.line;
        const Token& token = Peek();
        if (Is_Word(token, "STRUCT")) {
            block.body.line = Next().line;
            Parse_Members(block.body, "END_STRUCT", 1);
            if (Is_Symbol(Peek(), ";")) {
                Next();
            }
        } else if (Is_Word(token, "VAR")) {
            while (Is_Word(Peek(), "VAR")) {
                const int line = Next().line;
                while (Peek().line == line && (Is_Word(Peek(), "RETAIN") || Is_Word(Peek(), "NON_RETAIN") ||
                                               Is_Word(Peek(), "CONSTANT") || Is_Word(Peek(), "DB_SPECIFIC"))) {
                    Next();
                }
                Parse_Members(block.body, "END_VAR", 1);
            }
        } else if (token.kind == Tok::Quoted || Is_Word(token, "UDT")) {
            // A block of a user type: its variables are the type's.
            block.body.kind = Type_Node::Named;
            block.body.name = token.kind == Tok::Quoted ? Next().text : "UDT " + std::to_string(Numbered("UDT"));
        } else if (Is_Word(token, "FB") || Is_Word(token, "SFB")) {
            Fail(token.line, tt::Instance_Db, token.text + " " + Peek(1).text);
        }
        if (Is_Word(Peek(), "BEGIN")) {
            Next();
        }
        // Initial values of the BEGIN part do not move any offset.
        while (Peek().kind != Tok::End && !Is_Word(Peek(), "END_DATA_BLOCK")) {
            if (Is_Word(Peek(), "DATA_BLOCK") || Is_Word(Peek(), "TYPE")) {
                Fail(block.line, tt::No_End_Block);
            }
            Next();
        }
        if (Peek().kind == Tok::End) {
            Fail(block.line, tt::No_End_Block);
        }
        Next();
        blocks.push_back(std::move(block));
    }

    void Parse_Type_Block() {
        const int line = Next().line;
        std::string name;
        if (Peek().kind == Tok::Quoted || (Peek().kind == Tok::Ident && !Is_Word(Peek(), "UDT"))) {
            name = Next().text;
        } else if (const long number = Numbered("UDT"); number >= 0) {
            name = "UDT " + std::to_string(number);
        } else {
            Fail(Peek().line, tt::Unexpected, Peek().text);
        }
        Skip_Header([](const Token&) {});
        Type_Node type;
        type.kind = Type_Node::Struct;
        type.line = line;
        if (!Is_Word(Peek(), "STRUCT")) {
            Fail(Peek().line, Peek().kind == Tok::End ? tt::Unexpected_End : tt::Unexpected, Peek().text);
        }
        type.line = Next().line;
        Parse_Members(type, "END_STRUCT", 1);
        if (Is_Symbol(Peek(), ";")) {
            Next();
        }
        if (!Is_Word(Peek(), "END_TYPE")) {
            Fail(Peek().line, Peek().kind == Tok::End ? tt::Unexpected_End : tt::Unexpected, Peek().text);
        }
        Next();
        types[Upper_Ascii(name)] = std::move(type);
    }

    // Declarations up to end (END_STRUCT or END_VAR), which is taken.
    void Parse_Members(Type_Node& into, std::string_view end, int depth) {
        while (true) {
            const Token& token = Peek();
            if (Is_Word(token, end)) {
                Next();
                return;
            }
            if (token.kind == Tok::End || Is_Word(token, "BEGIN") || Is_Word(token, "END_DATA_BLOCK") ||
                Is_Word(token, "END_TYPE") || Is_Word(token, "END_STRUCT") || Is_Word(token, "END_VAR") ||
                Is_Word(token, "DATA_BLOCK")) {
                Fail(into.line, end == "END_STRUCT" ? tt::Struct_Not_Closed : tt::Unexpected_End);
            }
            std::vector<Member> names;
            while (true) {
                const Token& name = Peek();
                if (name.kind != Tok::Ident && name.kind != Tok::Quoted) {
                    Fail(name.line, tt::Unexpected, name.text);
                }
                if (++members_ > Max_Members) {
                    Fail(name.line, tt::Source_Too_Long);
                }
                names.push_back({name.text, {}, {}, name.line});
                Next();
                if (Peek().kind == Tok::Attributes) {
                    Next();
                }
                if (!Is_Symbol(Peek(), ",")) {
                    break;
                }
                Next();
            }
            Expect_Symbol(":");
            const Type_Node type = Parse_Type(depth);
            if (Is_Symbol(Peek(), ":=")) {
                Skip_Initial_Value();
            }
            const int end_line = Peek().line;
            Expect_Symbol(";");
            for (Member& member : names) {
                member.type = type;
                const auto comment = lexed_.comments.find(end_line);
                if (comment != lexed_.comments.end()) {
                    member.comment = comment->second;
                }
                into.members.push_back(std::move(member));
            }
        }
    }

    void Skip_Initial_Value() {
        Next();
        int depth = 0;
        while (Peek().kind != Tok::End) {
            const Token& token = Peek();
            if (depth == 0 && Is_Symbol(token, ";")) {
                return;
            }
            if (token.kind == Tok::Ident && (Is_Word(token, "END_STRUCT") || Is_Word(token, "END_VAR") ||
                                             Is_Word(token, "BEGIN") || Is_Word(token, "END_DATA_BLOCK"))) {
                return;
            }
            depth += Is_Symbol(token, "[") || Is_Symbol(token, "(") ? 1 : 0;
            depth -= (Is_Symbol(token, "]") || Is_Symbol(token, ")")) && depth > 0 ? 1 : 0;
            Next();
        }
    }

    Type_Node Parse_Type(int depth) {
        const Token& token = Peek();
        Type_Node type;
        type.line = token.line;
        if (depth > Max_Depth) {
            Fail(token.line, tt::Too_Deep);
        }
        if (token.kind == Tok::Quoted) {
            type.kind = Type_Node::Named;
            type.name = Next().text;
            return type;
        }
        if (token.kind != Tok::Ident) {
            Fail(token.line, token.kind == Tok::End ? tt::Unexpected_End : tt::Unexpected, token.text);
        }
        const std::string word = Upper_Ascii(token.text);
        if (word == "STRUCT") {
            Next();
            type.kind = Type_Node::Struct;
            Parse_Members(type, "END_STRUCT", depth + 1);
            return type;
        }
        if (word == "ARRAY") {
            Next();
            type.kind = Type_Node::Array;
            Expect_Symbol("[");
            while (true) {
                const long low = Expect_Number(true);
                Expect_Symbol("..");
                const long high = Expect_Number(true);
                if (high < low) {
                    Fail(token.line, tt::Bad_Bounds, std::to_string(low) + ".." + std::to_string(high));
                }
                type.dimensions.emplace_back(low, high);
                if (!Is_Symbol(Peek(), ",")) {
                    break;
                }
                Next();
            }
            Expect_Symbol("]");
            if (!Is_Word(Peek(), "OF")) {
                Fail(Peek().line, tt::Unexpected, Peek().text);
            }
            Next();
            type.element.push_back(Parse_Type(depth + 1));
            return type;
        }
        if (word == "STRING" || word == "WSTRING") {
            Next();
            type.kind = Type_Node::String;
            type.wide = word == "WSTRING";
            if (Is_Symbol(Peek(), "[")) {
                Next();
                type.string_length = Expect_Number();
                if (type.string_length > (type.wide ? 16382 : 254)) {
                    Fail(token.line, tt::Bad_Bounds, std::to_string(type.string_length));
                }
                Expect_Symbol("]");
            }
            return type;
        }
        if (const long number = Numbered("UDT"); number >= 0) {
            type.kind = Type_Node::Named;
            type.name = "UDT " + std::to_string(number);
            return type;
        }
        type.elementary = Find_Elementary_Type(token.text);
        if (type.elementary == nullptr) {
            Fail(token.line, tt::Unknown_Type, token.text);
        }
        Next();
        return type;
    }

    Lexed lexed_;
    std::size_t at_ = 0;
    std::size_t members_ = 0;
};

// ---- layout ----

std::int64_t Align(std::int64_t bits, std::int64_t to) {
    return (bits + to - 1) / to * to;
}

class Layout {
public:
    Layout(const std::map<std::string, Type_Node>& types, Tag_Read_Result& result, long db)
        : types_(types), result_(result), db_(db) {}

    // Lays the type out at cursor (in bits), naming its leaves after name; emit false only
    // measures. Returns the cursor after it.
    std::int64_t Place(const Type_Node& type, std::int64_t cursor, const std::string& name, const std::string& comment,
                       int line, bool emit, int depth) {
        if (depth > Max_Depth) {
            Fail(line, tt::Too_Deep);
        }
        std::int64_t end = cursor;
        switch (type.kind) {
        case Type_Node::Elementary: {
            const int bits = type.elementary->bits;
            const std::int64_t at = bits == 1 ? cursor : Align(cursor, bits == 8 ? 8 : 16);
            end = at + bits;
            Check_Size(end, line);
            if (emit) {
                Emit(type, at, name, comment, line);
            }
            break;
        }
        case Type_Node::String: {
            const std::int64_t at = Align(cursor, 16);
            end = at + (type.wide ? 2 * type.string_length + 4 : type.string_length + 2) * 8;
            Check_Size(end, line);
            if (emit) {
                Leave_Out(name, line, tt::Cannot_Read_Type, type.wide ? "WString" : "String");
            }
            break;
        }
        case Type_Node::Struct: {
            end = Align(cursor, 16);
            for (const Member& member : type.members) {
                end = Place(member.type, end, name + "." + member.name, member.comment, member.line, emit, depth + 1);
            }
            end = Align(end, 16);
            break;
        }
        case Type_Node::Named: {
            const auto found = types_.find(Upper_Ascii(type.name));
            if (found == types_.end()) {
                Fail(type.line, tt::Unknown_Udt, type.name);
            }
            end = Place(found->second, cursor, name, comment, line, emit, depth + 1);
            break;
        }
        case Type_Node::Array: end = Place_Array(type, cursor, name, comment, line, emit, depth); break;
        }
        Check_Size(end, line);
        return end;
    }

private:
    std::int64_t Place_Array(const Type_Node& type, std::int64_t cursor, const std::string& name,
                             const std::string& comment, int line, bool emit, int depth) {
        const Type_Node& element = type.element.front();
        std::int64_t count = 1;
        for (const auto& [low, high] : type.dimensions) {
            count *= high - low + 1;
            if (count > Max_Block_Bits) {
                Fail(line, tt::Too_Large);
            }
        }
        const std::int64_t start = Align(cursor, 16);
        // Bool elements pack bit after bit; every other element starts where its type aligns.
        std::int64_t stride = 1;
        if (element.kind != Type_Node::Elementary || element.elementary->bits != 1) {
            const std::int64_t size = Place(element, 0, name, comment, line, false, depth + 1);
            const bool bytewise = element.kind == Type_Node::Elementary && element.elementary->bits == 8;
            stride = Align(size, bytewise ? 8 : 16);
        }
        if (count * stride > Max_Block_Bits) {
            Fail(line, tt::Too_Large);
        }
        if (emit && stride > 0) {
            for (std::int64_t i = 0; i < count; ++i) {
                Place(element, start + i * stride, name + Index_Text(type, i), comment, line, true, depth + 1);
            }
        }
        return Align(start + count * stride, 16);
    }

    static std::string Index_Text(const Type_Node& type, std::int64_t i) {
        std::vector<long> indexes(type.dimensions.size());
        for (std::size_t d = type.dimensions.size(); d-- > 0;) {
            const long extent = type.dimensions[d].second - type.dimensions[d].first + 1;
            indexes[d] = type.dimensions[d].first + static_cast<long>(i % extent);
            i /= extent;
        }
        std::string text = "[";
        for (std::size_t d = 0; d < indexes.size(); ++d) {
            text += (d > 0 ? "," : "") + std::to_string(indexes[d]);
        }
        return text + "]";
    }

    static void Check_Size(std::int64_t end, int line) {
        if (end > Max_Block_Bits) {
            Fail(line, tt::Too_Large);
        }
    }

    void Count(int line) {
        if (result_.tags.size() + result_.left_out.size() >= Max_Tags) {
            Fail(line, tt::Too_Many_Tags);
        }
    }

    void Leave_Out(const std::string& name, int line, int reason, std::string_view detail) {
        Count(line);
        result_.left_out.push_back({name, line, Lang(reason) + std::string(detail)});
    }

    void Emit(const Type_Node& type, std::int64_t at, const std::string& name, const std::string& comment, int line) {
        const Elementary_Type& elementary = *type.elementary;
        if (elementary.rule == nullptr) {
            Leave_Out(name, line, tt::Cannot_Read_Type, elementary.name);
            return;
        }
        Count(line);
        Plc_Tag tag;
        tag.name = name;
        tag.type = elementary.name;
        tag.address.area = Tag_Area::Data_Block;
        tag.address.width = elementary.bits == 1    ? Tag_Width::Bit
                            : elementary.bits == 8  ? Tag_Width::Byte
                            : elementary.bits == 16 ? Tag_Width::Word
                                                    : Tag_Width::DWord;
        tag.address.byte = static_cast<long>(at / 8);
        tag.address.bit = static_cast<int>(at % 8);
        tag.address.db = db_;
        tag.comment = comment;
        tag.line = line;
        result_.tags.push_back(std::move(tag));
    }

    const std::map<std::string, Type_Node>& types_;
    Tag_Read_Result& result_;
    long db_;
};

} // namespace

Tag_Read_Result Read_Db_Source(std::string_view bytes, long db) {
    Tag_Read_Result result;
    result.kind = Tag_File_Kind::Db_Source;
    std::string text;
    if (std::optional<Tag_Error> error = Decode_Tag_Text(bytes, text)) {
        result.errors.push_back(std::move(*error));
        return result;
    }
    try {
        Parser parser(Lex(text));
        parser.Parse_File();
        if (parser.blocks.empty()) {
            Fail(0, tt::No_Tags);
        }
        bool db_given = false; // the number given goes to one block only
        for (const Data_Block& block : parser.blocks) {
            long number = block.number;
            if (number == 0) {
                if (db <= 0 || db_given) {
                    Fail(block.line, tt::No_Db_Number);
                }
                number = db;
                db_given = true;
            }
            Layout layout(parser.types, result, number);
            layout.Place(block.body, 0, block.name, {}, block.line, true, 0);
        }
    } catch (const Source_Error& error) {
        result.tags.clear();
        result.left_out.clear();
        result.errors.push_back({error.line, error.text});
    }
    return result;
}

} // namespace qm
