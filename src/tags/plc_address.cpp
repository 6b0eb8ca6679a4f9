// PLC addresses in both mnemonics, the elementary data types, and the check of a tag against
// its address.
#include "tags/plc_tags.h"

#include <array>
#include <cctype>

#include "common/conversions.h"
#include "language/lang_strings.h"
#include "tags/tags_texts.h"

namespace qm {

namespace {

// Reads a decimal number of at most 9 digits at text[at]; -1 when there is none.
long Read_Number(std::string_view text, std::size_t& at) {
    long value = 0;
    std::size_t digits = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && digits < 9) {
        value = value * 10 + (text[at] - '0');
        ++at;
        ++digits;
    }
    if (digits == 0 || (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))) {
        return -1;
    }
    return value;
}

struct Prefix {
    const char* letters;
    Tag_Area area;
    Tag_Width width;
};

// International and German mnemonics side by side; "M" is both.
constexpr std::array<Prefix, 32> Prefixes = {{
    {"I", Tag_Area::Input, Tag_Width::Bit},      {"E", Tag_Area::Input, Tag_Width::Bit},
    {"IB", Tag_Area::Input, Tag_Width::Byte},    {"EB", Tag_Area::Input, Tag_Width::Byte},
    {"IW", Tag_Area::Input, Tag_Width::Word},    {"EW", Tag_Area::Input, Tag_Width::Word},
    {"ID", Tag_Area::Input, Tag_Width::DWord},   {"ED", Tag_Area::Input, Tag_Width::DWord},
    {"Q", Tag_Area::Output, Tag_Width::Bit},     {"A", Tag_Area::Output, Tag_Width::Bit},
    {"QB", Tag_Area::Output, Tag_Width::Byte},   {"AB", Tag_Area::Output, Tag_Width::Byte},
    {"QW", Tag_Area::Output, Tag_Width::Word},   {"AW", Tag_Area::Output, Tag_Width::Word},
    {"QD", Tag_Area::Output, Tag_Width::DWord},  {"AD", Tag_Area::Output, Tag_Width::DWord},
    {"M", Tag_Area::Flag, Tag_Width::Bit},       {"MB", Tag_Area::Flag, Tag_Width::Byte},
    {"MW", Tag_Area::Flag, Tag_Width::Word},     {"MD", Tag_Area::Flag, Tag_Width::DWord},
    {"PIB", Tag_Area::Periphery_Input, Tag_Width::Byte},   {"PEB", Tag_Area::Periphery_Input, Tag_Width::Byte},
    {"PIW", Tag_Area::Periphery_Input, Tag_Width::Word},   {"PEW", Tag_Area::Periphery_Input, Tag_Width::Word},
    {"PID", Tag_Area::Periphery_Input, Tag_Width::DWord},  {"PED", Tag_Area::Periphery_Input, Tag_Width::DWord},
    {"PQB", Tag_Area::Periphery_Output, Tag_Width::Byte},  {"PAB", Tag_Area::Periphery_Output, Tag_Width::Byte},
    {"PQW", Tag_Area::Periphery_Output, Tag_Width::Word},  {"PAW", Tag_Area::Periphery_Output, Tag_Width::Word},
    {"PQD", Tag_Area::Periphery_Output, Tag_Width::DWord}, {"PAD", Tag_Area::Periphery_Output, Tag_Width::DWord},
}};

const Prefix* Find_Prefix(std::string_view letters) {
    for (const Prefix& prefix : Prefixes) {
        if (letters == prefix.letters) {
            return &prefix;
        }
    }
    return nullptr;
}

bool Is_Block_Letters(std::string_view letters) {
    for (const char* block : {"DB", "DI", "FB", "FC", "OB", "SFB", "SFC", "SDB", "UDT", "VAT"}) {
        if (letters == block) {
            return true;
        }
    }
    return false;
}

std::string_view Letters_At(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at]))) {
        ++at;
    }
    return text.substr(start, at - start);
}

// The bit after the byte ("10.1"), when the width asks for one.
bool Read_Bit(std::string_view text, std::size_t& at, bool wanted, int& bit) {
    if (!wanted) {
        return true;
    }
    if (at >= text.size() || text[at] != '.') {
        return false;
    }
    ++at;
    if (at >= text.size() || text[at] < '0' || text[at] > '7') {
        return false;
    }
    bit = text[at] - '0';
    ++at;
    return true;
}

} // namespace

std::optional<Plc_Address> Parse_Plc_Address(std::string_view text) {
    std::string s;
    for (const char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            s += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    if (s.starts_with('%')) {
        s.erase(0, 1);
    }
    bool peripheral = false;
    if (s.ends_with(":P")) {
        peripheral = true;
        s.resize(s.size() - 2);
    }
    std::size_t at = 0;
    const std::string_view letters = Letters_At(s, at);
    Plc_Address a;
    if (letters.empty()) {
        return std::nullopt;
    }
    const long number = Read_Number(s, at);
    if (number < 0) {
        return std::nullopt;
    }
    if (letters == "DB" && at < s.size() && s[at] == '.') {
        ++at;
        const std::string_view inner = Letters_At(s, at);
        a.area = Tag_Area::Data_Block;
        a.db = number;
        if (inner == "DBX") {
            a.width = Tag_Width::Bit;
        } else if (inner == "DBB") {
            a.width = Tag_Width::Byte;
        } else if (inner == "DBW") {
            a.width = Tag_Width::Word;
        } else if (inner == "DBD") {
            a.width = Tag_Width::DWord;
        } else {
            return std::nullopt;
        }
        a.byte = Read_Number(s, at);
        if (a.byte < 0 || !Read_Bit(s, at, a.width == Tag_Width::Bit, a.bit) || at != s.size() || peripheral) {
            return std::nullopt;
        }
        return a;
    }
    a.byte = number;
    if (letters == "T" || letters == "C" || letters == "Z") {
        a.area = letters == "T" ? Tag_Area::Timer : Tag_Area::Counter;
    } else if (Is_Block_Letters(letters)) {
        a.area = Tag_Area::Block;
    } else if (const Prefix* prefix = Find_Prefix(letters)) {
        a.area = prefix->area;
        a.width = prefix->width;
        if (!Read_Bit(s, at, a.width == Tag_Width::Bit, a.bit)) {
            return std::nullopt;
        }
        if (peripheral) {
            if (a.area == Tag_Area::Input) {
                a.area = Tag_Area::Periphery_Input;
            } else if (a.area == Tag_Area::Output) {
                a.area = Tag_Area::Periphery_Output;
            } else {
                return std::nullopt;
            }
        }
    } else {
        return std::nullopt;
    }
    if (at != s.size() || (peripheral && a.width == Tag_Width::None)) {
        return std::nullopt;
    }
    return a;
}

namespace {

// The converter's eight data types and what the tools write for them; then the types a DB may
// hold that the converter cannot read (sizes still needed for the offsets after them).
constexpr Elementary_Type Types[] = {
    {"Bool", 1, "Bit"},          {"Byte", 8, "Byte"},        {"USInt", 8, "Byte"},
    {"SInt", 8, "Byte"},         {"Char", 8, "Char"},        {"Word", 16, "Word"},
    {"UInt", 16, "Word"},        {"S5Time", 16, "Word"},     {"Date", 16, "Word"},
    {"Int", 16, "Int"},          {"DWord", 32, "DWord"},     {"UDInt", 32, "DWord"},
    {"Time_Of_Day", 32, "DWord"}, {"TOD", 32, "DWord"},      {"DInt", 32, "DInt"},
    {"Time", 32, "DInt"},        {"Real", 32, "Real"},
    {"WChar", 16, nullptr},      {"LReal", 64, nullptr},     {"LInt", 64, nullptr},
    {"ULInt", 64, nullptr},      {"LWord", 64, nullptr},     {"LTime", 64, nullptr},
    {"LTime_Of_Day", 64, nullptr}, {"LTOD", 64, nullptr},    {"Date_And_Time", 64, nullptr},
    {"DT", 64, nullptr},         {"LDT", 64, nullptr},       {"DTL", 96, nullptr},
    {"Timer", 16, nullptr},      {"Counter", 16, nullptr},
};

Tag_Width Width_Of(const Elementary_Type& type) {
    switch (type.bits) {
    case 1: return Tag_Width::Bit;
    case 8: return Tag_Width::Byte;
    case 16: return Tag_Width::Word;
    case 32: return Tag_Width::DWord;
    default: return Tag_Width::None;
    }
}

} // namespace

const Elementary_Type* Find_Elementary_Type(std::string_view name) {
    for (const Elementary_Type& type : Types) {
        if (Upper_Ascii(name) == Upper_Ascii(type.name)) {
            return &type;
        }
    }
    return nullptr;
}

void Add_Area_Tag(Tag_Read_Result& result, std::string name, std::string type, std::string_view address,
                  std::string comment, int line) {
    if (result.errors.size() >= Max_Listed_Tag_Errors) {
        return; // enough to say the file is not what it should be
    }
    name = std::string(Trim(name));
    type = std::string(Trim(type));
    if (name.empty() || type.empty() || Trim(address).empty()) {
        result.errors.push_back({line, Lang(tags_text::Missing_Field)});
        return;
    }
    const std::optional<Plc_Address> parsed = Parse_Plc_Address(address);
    if (!parsed) {
        result.errors.push_back({line, Lang(tags_text::Not_Address) + std::string(Trim(address))});
        return;
    }
    const auto leave_out = [&](int reason, std::string_view detail = {}) {
        result.left_out.push_back({name, line, Lang(reason) + std::string(detail)});
    };
    switch (parsed->area) {
    case Tag_Area::Timer: return leave_out(tags_text::Timer);
    case Tag_Area::Counter: return leave_out(tags_text::Counter);
    case Tag_Area::Block: return leave_out(tags_text::Block_Symbol);
    default: break;
    }
    const Elementary_Type* elementary = Find_Elementary_Type(type);
    if (elementary == nullptr) {
        // Strings, arrays and types of the user's: an area tag of these the converter cannot read.
        return leave_out(tags_text::Cannot_Read_Type, type);
    }
    if (elementary->rule == nullptr) {
        const std::string upper = Upper_Ascii(type);
        if (upper == "TIMER" || upper == "COUNTER") {
            return leave_out(upper == "TIMER" ? tags_text::Timer : tags_text::Counter);
        }
        return leave_out(tags_text::Cannot_Read_Type, type);
    }
    if (Width_Of(*elementary) != parsed->width) {
        result.errors.push_back({line, type + Lang(tags_text::Type_Not_Fit) + std::string(Trim(address))});
        return;
    }
    if (result.tags.size() >= Max_Tags) {
        if (result.errors.empty() || result.errors.back().text != Lang(tags_text::Too_Many_Tags)) {
            result.errors.push_back({line, Lang(tags_text::Too_Many_Tags)});
        }
        return;
    }
    result.tags.push_back({std::move(name), std::move(type), *parsed, std::move(comment), line});
}

} // namespace qm
