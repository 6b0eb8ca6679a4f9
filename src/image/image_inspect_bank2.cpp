#include "image/image_inspect.h"

#include <algorithm>

#include "image/image_inspect_format.h"
#include "image/image_inspect_util.h"

namespace qm {

using namespace inspect_detail;

std::string PLC_Type_Name(std::uint8_t code) {
    switch (code) {
    case 1: return "Logo0BA8";
    case 0: return "S7200";
    case 10: return "S7300";
    case 20: return "S7400";
    case 30: return "S71200";
    case 40: return "S71500";
    default: return {};
    }
}

std::string S7_Data_Type_Name(std::uint8_t code) {
    static const char* const Names[] = {"Bit", "Byte", "Char", "Word", "Int", "DWord", "DInt", "Real"};
    return code >= 1 && code <= 8 ? Names[code - 1] : std::string();
}

std::string Data_Identifier_Name(std::uint8_t code) {
    switch (code) {
    case 8: return "OB";
    case 10: return "DB";
    case 11: return "SDB";
    case 12: return "FC";
    case 13: return "SFC";
    case 14: return "FB";
    case 15: return "SFB";
    default: return {};
    }
}

std::string PLC_Area_Name(std::uint8_t code) {
    switch (code) {
    case 0x80: return "Direct peripheral access (P)";
    case 0x81: return "Inputs (I)";
    case 0x82: return "Output (Q)";
    case 0x83: return "Flags (M) (Merker)";
    default: return {};
    }
}

namespace {

S7_Record Read_Record(Image_Bytes bytes, std::size_t index) {
    const std::size_t at = index * S7_Record_Size;
    S7_Record r;
    r.index = index;
    r.PLC_Address = U32(bytes, at + 0);
    r.PollTime = U32(bytes, at + 4);
    r.PLC_Add = U16(bytes, at + 8);
    r.DB_Number = U16(bytes, at + 10);
    r.PLC_Port = U16(bytes, at + 12);
    r.Position = U16(bytes, at + 14);
    r.Reserved_16 = U16(bytes, at + 16);
    r.Bit = U8(bytes, at + 18);
    r.PLC_Type = U8(bytes, at + 19);
    r.Data_Type = U8(bytes, at + 20);
    r.Data_Identifier = U8(bytes, at + 21);
    r.Reserved_22 = U8(bytes, at + 22);
    r.Rule_Flags = U8(bytes, at + 23);
    r.PLC_Bit = U8(bytes, at + 24);
    r.PLC_Area = U8(bytes, at + 25);
    r.Rack_Slot = U8(bytes, at + 26);
    r.Reserved_27 = U8(bytes, at + 27);
    return r;
}

bool All_Zero(Image_Bytes bytes, std::size_t offset, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        if (U8(bytes, offset + i) != 0) return false;
    }
    return true;
}

std::string Ip_Of(std::uint32_t address) {
    return Dotted({static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16),
                   static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address)});
}

std::string Flags_Text(std::uint8_t flags) {
    std::string text = (flags & 0x20) != 0 ? "write" : "read";
    if ((flags & 0x01) != 0) text += ", on change";
    if ((flags & 0x10) != 0) text += ", on command";
    if ((flags & 0x04) != 0) text += ", swap";
    if ((flags & 0x08) != 0) text += ", swap word";
    if ((flags & 0xC2) != 0) text += ", unknown bits " + Hex(flags & 0xC2U, 2);
    return text;
}

std::string Named(const std::string& name, std::uint8_t code) {
    return name.empty() ? "unknown code " + std::to_string(code) : name;
}

void Check_Record(const S7_Record& r, bool after_write, Inspect_Findings& findings) {
    const std::string where = "record " + std::to_string(r.index) + " (" + Hex(r.index * S7_Record_Size, 4) + ")";
    auto problem = [&](const std::string& text) { findings.problems.push_back(where + " " + text); };
    auto note = [&](const std::string& text) { findings.notes.push_back(where + " " + text); };

    if (PLC_Type_Name(r.PLC_Type).empty()) problem("PLC_Type: code " + std::to_string(r.PLC_Type) + " is no PLC type");
    if (S7_Data_Type_Name(r.Data_Type).empty())
        problem("Data_Type: code " + std::to_string(r.Data_Type) + " is no data type");
    if (Data_Identifier_Name(r.Data_Identifier).empty())
        problem("Data_Identifier: code " + std::to_string(r.Data_Identifier) + " is no data identifier");
    if (PLC_Area_Name(r.PLC_Area).empty()) problem("PLC_Area: code " + Hex(r.PLC_Area, 2) + " is no PLC area");
    if ((r.Rule_Flags & 0xC2) != 0) problem("Rule_Flags " + Hex(r.Rule_Flags, 2) + ": bits 1, 6 and 7 must be 0");
    if (!r.is_write() && (r.Rule_Flags & 0x11) != 0)
        problem("Rule_Flags " + Hex(r.Rule_Flags, 2) + ": on change and on command belong to write rules only");
    if (r.Reserved_16 != 0 || r.Reserved_22 != 0 || r.Reserved_27 != 0)
        problem("reserved bytes 16, 17, 22 and 27 must be 0");
    if (after_write && !r.is_write()) problem("is a read rule after a write rule; read rules come first");

    if (r.PLC_Address == 0) note("PLC_Address 0.0.0.0: the address text was empty or not a dotted address");
    if (r.Rack_Slot / 32 > 3) note("Rack " + std::to_string(r.Rack_Slot / 32) + " is above the 3 the check allows");
    if (r.PLC_Bit > 7) note("PLC_Bit " + std::to_string(r.PLC_Bit) + " is above 7");
    if (r.Bit > 7) note("Bit " + std::to_string(r.Bit) + " is above 7");
    if (r.Position >= 1500) note("Position " + std::to_string(r.Position) + " is beyond the 1500-byte data array");
    if ((!r.is_write() && r.PollTime == 0) || r.PollTime > 100000000)
        note("PollTime " + std::to_string(r.PollTime) + " ms is outside the range the check allows");
}

} // namespace

Bank2_Image Decode_Bank2(Image_Bytes bytes, std::optional<std::uint32_t> rule_count) {
    Bank2_Image image;
    image.size = bytes.size();
    image.expected_count = rule_count;
    auto& problems = image.findings.problems;

    if (bytes.size() != Bank2_Size) {
        problems.push_back("the file is " + std::to_string(bytes.size()) + " bytes; the rule table is always " +
                           std::to_string(Bank2_Size) + " (1024 records of 28 bytes)");
    }
    const std::size_t whole = std::min(bytes.size() / S7_Record_Size, S7_Record_Count);
    if (whole < S7_Record_Count && bytes.size() % S7_Record_Size != 0) {
        problems.push_back("record " + std::to_string(whole) + " is cut short after " +
                           std::to_string(bytes.size() % S7_Record_Size) + " bytes");
    }

    // Rules are packed from record 0 without gaps, and a used record is never all zero
    // (its data type, identifier and area codes are never 0).
    std::size_t used = 0;
    while (used < whole && !All_Zero(bytes, used * S7_Record_Size, S7_Record_Size)) ++used;
    bool after_write = false;
    for (std::size_t i = 0; i < used; ++i) {
        image.records.push_back(Read_Record(bytes, i));
        Check_Record(image.records.back(), after_write, image.findings);
        after_write = after_write || image.records.back().is_write();
    }

    std::size_t stray = 0;
    for (std::size_t i = used; i < whole; ++i) {
        if (All_Zero(bytes, i * S7_Record_Size, S7_Record_Size)) continue;
        if (stray++ < 4) {
            problems.push_back("record " + std::to_string(i) + " (" + Hex(i * S7_Record_Size, 4) +
                               ") is not zero, but the used records end with record " + std::to_string(used) +
                               (used == 0 ? " (none used)" : " - 1"));
        }
    }
    if (stray > 4) problems.push_back("and " + std::to_string(stray - 4) + " more non-zero records after the used ones");
    // A partial record at the end is outside the loop above; it must be zero like every unused record.
    if (whole < S7_Record_Count && !All_Zero(bytes, whole * S7_Record_Size, bytes.size() % S7_Record_Size) &&
        used == whole) {
        problems.push_back("the partial record " + std::to_string(whole) + " holds non-zero bytes");
    }

    if (rule_count && *rule_count != used) {
        problems.push_back("S7_Rule_Count in bank1.bin is " + std::to_string(*rule_count) + ", but " +
                           std::to_string(used) + " records are used");
    }
    return image;
}

namespace inspect_detail {

void Format_Bank2(const Bank2_Image& image, Image_Bytes bytes, const std::string& name, const Inspect_Options& options,
                  Text_Out& out) {
    out.Section(name + ": S7comm rule table, " + std::to_string(image.size) + " bytes, device address " +
                Hex(Bank2_Device_Address, 5));
    std::size_t reads = 0;
    for (const auto& r : image.records) reads += r.is_write() ? 0 : 1;
    std::string summary = "  " + std::to_string(image.records.size()) + " of 1024 records used (" +
                          std::to_string(reads) + " read, " + std::to_string(image.records.size() - reads) + " write)";
    if (image.expected_count) summary += "; S7_Rule_Count in bank1.bin: " + std::to_string(*image.expected_count);
    out.Line(summary);

    for (const auto& r : image.records) {
        const std::size_t at = r.index * S7_Record_Size;
        out.Subsection("record " + std::to_string(r.index) + " at " + Hex(at, 4) + " (device " +
                       Hex(Bank2_Device_Address + at, 5) + "): " + (r.is_write() ? "write" : "read") + " rule, " +
                       Ip_Of(r.PLC_Address) + ":" + std::to_string(r.PLC_Port));
        if (options.raw_records) out.Line("    raw  " + Hex_Bytes(bytes, at, S7_Record_Size));
        auto row = [&](std::size_t offset, std::size_t width, const char* field, const std::string& value) {
            out.Line("    " + Pad(std::to_string(offset), 4) + Pad(field, 17) + Pad(Hex_Bytes(bytes, at + offset, width), 13) +
                     value);
        };
        row(0, 4, "PLC_Address", Ip_Of(r.PLC_Address));
        row(4, 4, "PollTime", std::to_string(r.PollTime) + " ms");
        row(8, 2, "PLC_Add", std::to_string(r.PLC_Add));
        row(10, 2, "DB_Number", std::to_string(r.DB_Number));
        row(12, 2, "PLC_Port", std::to_string(r.PLC_Port));
        row(14, 2, "Position", std::to_string(r.Position));
        row(18, 1, "Bit", std::to_string(r.Bit));
        row(19, 1, "PLC_Type", Named(PLC_Type_Name(r.PLC_Type), r.PLC_Type));
        row(20, 1, "Data_Type", Named(S7_Data_Type_Name(r.Data_Type), r.Data_Type));
        row(21, 1, "Data_Identifier", Named(Data_Identifier_Name(r.Data_Identifier), r.Data_Identifier));
        row(23, 1, "Rule_Flags", Flags_Text(r.Rule_Flags));
        row(24, 1, "PLC_Bit", std::to_string(r.PLC_Bit));
        row(25, 1, "PLC_Area", Named(PLC_Area_Name(r.PLC_Area), r.PLC_Area));
        row(26, 1, "Rack_Slot",
            "rack " + std::to_string(r.Rack_Slot / 32) + ", slot " + std::to_string(r.Rack_Slot % 32));
    }
    bool rest_zero = bytes.size() == Bank2_Size;
    for (std::size_t i = image.records.size() * S7_Record_Size; rest_zero && i < bytes.size(); ++i) rest_zero = bytes[i] == 0;
    if (rest_zero && image.records.size() < S7_Record_Count) out.Line("  records " + std::to_string(image.records.size()) + " to 1023 are zero");
    out.Findings(name, image.findings);
}

} // namespace inspect_detail

} // namespace qm

// ---- fields for comparing images -------------------------------------------------------------

#include "image/image_inspect_fields.h"

namespace qm {

S7_Record Decode_S7_Record(Image_Bytes bytes, std::size_t index) {
    return Read_Record(bytes, index);
}

std::vector<Image_Field> S7_Record_Fields(const S7_Record& r) {
    const auto at = static_cast<std::uint32_t>(Bank2_Device_Address + r.index * S7_Record_Size);
    return {
        {"PLC_Address", at + 0, Ip_Of(r.PLC_Address), false},
        {"PollTime", at + 4, std::to_string(r.PollTime) + " ms", false},
        {"PLC_Add", at + 8, std::to_string(r.PLC_Add), false},
        {"DB_Number", at + 10, std::to_string(r.DB_Number), false},
        {"PLC_Port", at + 12, std::to_string(r.PLC_Port), false},
        {"Position", at + 14, std::to_string(r.Position), false},
        {"reserved 16", at + 16, std::to_string(r.Reserved_16), false},
        {"Bit", at + 18, std::to_string(r.Bit), false},
        {"PLC_Type", at + 19, Named(PLC_Type_Name(r.PLC_Type), r.PLC_Type), false},
        {"Data_Type", at + 20, Named(S7_Data_Type_Name(r.Data_Type), r.Data_Type), false},
        {"Data_Identifier", at + 21, Named(Data_Identifier_Name(r.Data_Identifier), r.Data_Identifier), false},
        {"reserved 22", at + 22, std::to_string(r.Reserved_22), false},
        {"Rule_Flags", at + 23, Flags_Text(r.Rule_Flags), false},
        {"PLC_Bit", at + 24, std::to_string(r.PLC_Bit), false},
        {"PLC_Area", at + 25, Named(PLC_Area_Name(r.PLC_Area), r.PLC_Area), false},
        {"Rack_Slot", at + 26, "rack " + std::to_string(r.Rack_Slot / 32) + ", slot " + std::to_string(r.Rack_Slot % 32),
         false},
        {"reserved 27", at + 27, std::to_string(r.Reserved_27), false},
    };
}

} // namespace qm
