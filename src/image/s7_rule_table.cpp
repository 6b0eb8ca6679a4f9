#include "image/s7_rule_table.h"
#include "language/lang_table.h"

#include "common/conversions.h"
#include "common/xml_io.h"
#include "image/byte_order.h"
#include "image/image_xml.h"

namespace qm {
namespace {

enum Rule_Attr : std::size_t {
    R_Enable, R_PLC_Address, R_PLC_Port, R_PLC_Type, R_Rack, R_Slot, R_Data_Type, R_Data_Identifier,
    R_DB_Number, R_PLC_Area, R_PLC_Add, R_PLC_Bit, R_PollTime, R_OnChange, R_OnCMD, R_Position, R_Bit,
    R_Swap, R_SwapWord, R_Mnemonic, R_Count
};
// In the order the writer puts them, write rows' two flags included; Mnemonic is named only so
// that it is recognised quickly, it is not used.
constexpr std::array<const char*, R_Count> Rule_Names = {
    "Enable", "PLC_Address", "PLC_Port", "PLC_Type", "Rack", "Slot", "Data_Type", "Data_Identifier",
    "DB_Number", "PLC_Area", "PLC_Add", "PLC_Bit", "PollTime", "OnChange", "OnCMD", "Position", "Bit",
    "Swap", "SwapWord", "Mnemonic"};

// Up to nine plain digits: what the editor writes for nearly every number of a rule, and the same
// value Text_To_Int gives. Anything else (blanks, signs, hex, overflow) goes the full way.
// Stops at a '.' too, for the parts of an address; end is where it stopped.
bool Plain_Decimal(const char* text, std::uint32_t& value, const char*& end) {
    std::uint32_t v = 0;
    const char* c = text;
    for (; c - text < 10; ++c) {
        const auto digit = static_cast<std::uint32_t>(static_cast<unsigned char>(*c)) - '0';
        if (digit > 9) {
            break;
        }
        v = v * 10 + digit;
    }
    if (c == text || c - text > 9) {
        return false;
    }
    value = v;
    end = c;
    return true;
}

std::uint32_t Int32(const char* text, std::int32_t fallback) {
    std::uint32_t value = 0;
    const char* end = nullptr;
    if (Plain_Decimal(text, value, end) && *end == '\0') {
        return value;
    }
    return static_cast<std::uint32_t>(Text_To_Int(text, fallback));
}
std::uint16_t Int16(const char* text, std::int32_t fallback) {
    return static_cast<std::uint16_t>(Int32(text, fallback) & 0xFFFFU);
}
std::uint8_t Int8(const char* text, std::int32_t fallback) {
    return static_cast<std::uint8_t>(Int32(text, fallback) & 0xFFU);
}

bool Is_Yes(const char* text) {
    return text[0] == 'Y' && text[1] == '\0';
}

// "a.b.c.d" of plain parts up to 255 as a big-endian number, or false for any other text
// (which Split_IP_Address then judges).
bool Plain_IP_Address(const char* text, std::uint32_t& address) {
    std::uint32_t result = 0;
    for (int part = 0; part < 4; ++part) {
        std::uint32_t value = 0;
        const char* end = nullptr;
        if (!Plain_Decimal(text, value, end) || end - text > 3 || value > 255) {
            return false;
        }
        if (*end != (part < 3 ? '.' : '\0')) {
            return false;
        }
        result = (result << 8) | value;
        text = end + 1;
    }
    address = result;
    return true;
}

S7_Rule Make_Rule(const std::array<const char*, R_Count>& a, bool write_rule) {
    S7_Rule r;
    if (!Plain_IP_Address(a[R_PLC_Address], r.PLC_Address)) {
        if (const Ip_Bytes ip = Split_IP_Address(a[R_PLC_Address]); !ip.bad) {
            r.PLC_Address = (static_cast<std::uint32_t>(ip.bytes[0]) << 24) |
                            (static_cast<std::uint32_t>(ip.bytes[1]) << 16) |
                            (static_cast<std::uint32_t>(ip.bytes[2]) << 8) | static_cast<std::uint32_t>(ip.bytes[3]);
        }
    }
    r.PLC_Port = Int16(a[R_PLC_Port], 0);
    r.PLC_Type = PLC_Type_Code(a[R_PLC_Type]);
    const std::uint32_t rack = Int8(a[R_Rack], 0);
    const std::uint32_t slot = Int8(a[R_Slot], 0);
    r.Rack_Slot = static_cast<std::uint8_t>((rack * 32 + slot) & 0xFFU);
    r.Data_Type = S7_Data_Type_Code(a[R_Data_Type]);
    r.Data_Identifier = Data_Identifier_Code(a[R_Data_Identifier]);
    r.DB_Number = Int16(a[R_DB_Number], 0);
    r.PLC_Area = PLC_Area_Code(a[R_PLC_Area]);
    r.PLC_Add = Int16(a[R_PLC_Add], 0);
    r.PLC_Bit = Int8(a[R_PLC_Bit], 0);
    r.PollTime = Int32(a[R_PollTime], 1000);
    r.Rule_Flags = 0;
    if (write_rule) {
        r.Rule_Flags = Rule_Flags::Write_Rule;
        if (Is_Yes(a[R_OnChange])) {
            r.Rule_Flags |= Rule_Flags::On_Change;
        }
        if (Is_Yes(a[R_OnCMD])) {
            r.Rule_Flags |= Rule_Flags::On_CMD;
        }
    }
    r.Position = Int16(a[R_Position], 0);
    r.Bit = Int8(a[R_Bit], 0);
    if (Is_Yes(a[R_Swap])) {
        r.Rule_Flags |= Rule_Flags::Swap;
    }
    if (Is_Yes(a[R_SwapWord])) {
        r.Rule_Flags |= Rule_Flags::Swap_Word;
    }
    return r;
}

} // namespace

std::uint8_t PLC_Type_Code(std::string_view text) {
    if (text == "Logo0BA8") return 1;
    if (text == "S7200") return 0;
    if (text == "S7300") return 10;
    if (text == "S7400") return 20;
    if (text == "S71200") return 30;
    if (text == "S71500") return 40;
    return 0;
}

std::uint8_t S7_Data_Type_Code(std::string_view text) {
    if (text == "Bit") return 1;
    if (text == "Byte") return 2;
    if (text == "Char") return 3;
    if (text == "Word") return 4;
    if (text == "Int") return 5;
    if (text == "DWord") return 6;
    if (text == "DInt") return 7;
    if (text == "Real") return 8;
    return 1;
}

std::uint8_t Data_Identifier_Code(std::string_view text) {
    if (text == "OB") return 8;
    if (text == "DB") return 10;
    if (text == "SDB") return 11;
    if (text == "FC") return 12;
    if (text == "SFC") return 13;
    if (text == "FB") return 14;
    if (text == "SFB") return 15;
    return 8;
}

std::uint8_t PLC_Area_Code(std::string_view text) {
    if (text == "Direct peripheral access (P)") return 0x80;
    if (text == "Inputs (I)") return 0x81;
    if (text == "Output (Q)") return 0x82;
    if (text == "Flags (M) (Merker)") return 0x83;
    return 0x80;
}

void Clear_S7_Rule_Table(S7_Rule_Table& table) {
    table.records.fill(S7_Rule{});
}

Build_Result Read_S7_Rules(const std::string& path, S7_Rule_Table& table, std::uint32_t& count) {
    count = 0;
    pugi::xml_document doc;
    bool present = false;
    if (Build_Result loaded = Load_Build_Input(path, doc, present); !loaded || !present) {
        return loaded;
    }
    std::size_t enabled = 0;
    std::array<const char*, R_Count> a;
    // A root without one of its two sections has an empty list there.
    for (const bool write_rules : {false, true}) {
        const pugi::xml_node section =
            Build_List_Section(doc, write_rules ? Build_List::S7_Write : Build_List::S7_Read);
        For_Each_Build_Row(section, [&](const pugi::xml_node& row) {
            Collect_Attribute_Texts(row, Rule_Names, a);
            if (!Build_Takes(a[R_Enable])) {
                return;
            }
            if (enabled < S7_Rule_Capacity) {
                table.records[enabled] = Make_Rule(a, write_rules);
            }
            ++enabled; // counted past the table only to say how many there are
        });
    }
    if (enabled > S7_Rule_Capacity) {
        Clear_S7_Rule_Table(table);
        return {Build_Status::Over_Limit, path + ": " + std::to_string(enabled) + Lang(87) +
                                              std::to_string(S7_Rule_Capacity)};
    }
    count = static_cast<std::uint32_t>(enabled);
    return {};
}

std::size_t Serialise_S7_Rules(const S7_Rule_Table& table, Image_Buffer& buffer, std::size_t pos) {
    std::uint8_t* out = buffer.data() + pos;
    for (const S7_Rule& r : table.records) {
        Put_U32(out + 0, r.PLC_Address);
        Put_U32(out + 4, r.PollTime);
        Put_U16(out + 8, r.PLC_Add);
        Put_U16(out + 10, r.DB_Number);
        Put_U16(out + 12, r.PLC_Port);
        Put_U16(out + 14, r.Position);
        Put_U16(out + 16, 0);
        Put_U8(out + 18, r.Bit);
        Put_U8(out + 19, r.PLC_Type);
        Put_U8(out + 20, r.Data_Type);
        Put_U8(out + 21, r.Data_Identifier);
        Put_U8(out + 22, 0);
        Put_U8(out + 23, r.Rule_Flags);
        Put_U8(out + 24, r.PLC_Bit);
        Put_U8(out + 25, r.PLC_Area);
        Put_U8(out + 26, r.Rack_Slot);
        Put_U8(out + 27, 0);
        out += S7_Rule_Size;
    }
    return pos + S7_Rule_Table_Size;
}

} // namespace qm
