#include "image/image_inspect.h"

#include <algorithm>

#include "image/image_inspect_format.h"
#include "image/image_inspect_util.h"

namespace qm {

using namespace inspect_detail;

namespace {

enum class Field_Kind { Address4, Gateway4, U32_Address, U32_Seconds, U32_Count, U32_Checksum };

struct Bank1_Field {
    std::size_t offset;
    const char* name;
    Field_Kind kind;
};

// The fields this model writes; every other byte of the block is reserved.
constexpr Bank1_Field Fields[] = {
    {0x028, "Server_IP", Field_Kind::Address4},
    {0x02C, "Server_Mask", Field_Kind::Address4},
    {0x030, "Server_Gateway", Field_Kind::Gateway4},
    {0x03C, "NTP_Text_Address", Field_Kind::U32_Address},
    {0x040, "NTP_Poll_Interval", Field_Kind::U32_Seconds},
    {0x184, "PLC_Side_IP", Field_Kind::Address4},
    {0x188, "PLC_Side_Mask", Field_Kind::Address4},
    {0x18C, "PLC_Side_Gateway", Field_Kind::Gateway4},
    {0x58C, "Server_DNS", Field_Kind::Gateway4},
    {0x5E8, "IEC61850_Area_Address", Field_Kind::U32_Address},
    {0x654, "S7_Table_Address", Field_Kind::U32_Address},
    {0x658, "S7_Rule_Count", Field_Kind::U32_Count},
    {0x7FC, "Block_Checksum", Field_Kind::U32_Checksum},
};
constexpr std::size_t Checksum_Offset = 0x7FC;

struct Block_Defaults {
    std::array<std::uint8_t, Bank1_Size> bytes{};
    std::array<bool, Bank1_Size> is_field{};
};

void Put_U32(std::array<std::uint8_t, Bank1_Size>& b, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) b[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Defaults of the reserved bytes; the model's own fields are masked out.
const Block_Defaults& Defaults() {
    static const Block_Defaults defaults = [] {
        Block_Defaults d;
        Put_U32(d.bytes, 0x000, 250000);
        Put_U32(d.bytes, 0x004, 250000);
        Put_U32(d.bytes, 0x00C, 9600);
        d.bytes[0x034] = 0x10; // 10000
        d.bytes[0x035] = 0x27;
        d.bytes[0x036] = 0x11; // 10001
        d.bytes[0x037] = 0x27;
        d.bytes[0x038] = 0x11; // 10001
        d.bytes[0x039] = 0x27;
        for (std::size_t i = 0x1B4; i <= 0x1BB; ++i) d.bytes[i] = 8;
        for (const auto& field : Fields) {
            for (std::size_t i = 0; i < 4; ++i) d.is_field[field.offset + i] = true;
        }
        return d;
    }();
    return defaults;
}

std::string Field_Value(const Bank1_Field& field, Image_Bytes bytes, const Bank1_Image& image) {
    if (!Fits(bytes, field.offset, 4)) return "(beyond the end of the file)";
    const std::uint32_t value = U32(bytes, field.offset);
    switch (field.kind) {
    case Field_Kind::Address4: return Dotted(Quad(bytes, field.offset));
    case Field_Kind::Gateway4:
        return value == 0xFFFFFFFFU ? std::string("255.255.255.255 (none)") : Dotted(Quad(bytes, field.offset));
    case Field_Kind::U32_Address: return value == 0 ? std::string("0 (none)") : Hex(value, 5);
    case Field_Kind::U32_Seconds: return std::to_string(value) + " s";
    case Field_Kind::U32_Count: return std::to_string(value);
    case Field_Kind::U32_Checksum:
        if (!image.complete()) return std::to_string(value) + " (not verifiable)";
        return std::to_string(value) + (value == image.Computed_Checksum
                                            ? " (recomputed: matches)"
                                            : " (recomputed " + std::to_string(image.Computed_Checksum) + ")");
    }
    return {};
}

} // namespace

Bank1_Image Decode_Bank1(Image_Bytes bytes) {
    Bank1_Image image;
    image.size = bytes.size();
    auto& problems = image.findings.problems;
    auto& notes = image.findings.notes;

    image.Server_IP = Quad(bytes, 0x028);
    image.Server_Mask = Quad(bytes, 0x02C);
    image.Server_Gateway = Quad(bytes, 0x030);
    image.NTP_Text_Address = U32(bytes, 0x03C);
    image.NTP_Poll_Interval = U32(bytes, 0x040);
    image.PLC_Side_IP = Quad(bytes, 0x184);
    image.PLC_Side_Mask = Quad(bytes, 0x188);
    image.PLC_Side_Gateway = Quad(bytes, 0x18C);
    image.Server_DNS = Quad(bytes, 0x58C);
    image.IEC61850_Area_Address = U32(bytes, 0x5E8);
    image.S7_Table_Address = U32(bytes, 0x654);
    image.S7_Rule_Count = U32(bytes, 0x658);
    image.Block_Checksum = U32(bytes, Checksum_Offset);

    if (bytes.size() != Bank1_Size) {
        problems.push_back("the file is " + std::to_string(bytes.size()) + " bytes; a parameter block is always " +
                           std::to_string(Bank1_Size) +
                           (bytes.size() < Bank1_Size ? " (fields past the end read as missing)"
                                                      : " (the bytes after it are not part of the block)"));
    }
    for (const auto& field : Fields) {
        if (!Fits(bytes, field.offset, 4)) {
            problems.push_back("offset " + Hex(field.offset, 3) + " " + field.name + ": missing, the file ends before it");
        }
    }

    if (image.complete()) {
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < Checksum_Offset; ++i) sum += bytes[i];
        image.Computed_Checksum = sum;
        if (sum != image.Block_Checksum) {
            problems.push_back("offset 0x7FC Block_Checksum: stored " + std::to_string(image.Block_Checksum) +
                               " (" + Hex_Bytes(bytes, Checksum_Offset, 4) + "), but bytes 0x000 to 0x7FB sum to " +
                               std::to_string(sum));
        }
    }

    if (Fits(bytes, 0x654, 4) && image.S7_Table_Address != Bank2_Device_Address) {
        problems.push_back("offset 0x654 S7_Table_Address: " + Hex(image.S7_Table_Address, 5) +
                           ", but the rule table lives at 0x80000");
    }
    if (Fits(bytes, 0x5E8, 4) && image.IEC61850_Area_Address != Bank3_Header_Address) {
        problems.push_back("offset 0x5E8 IEC61850_Area_Address: " + Hex(image.IEC61850_Area_Address, 5) +
                           ", but the IEC61850 header lives at 0xA0400");
    }
    if (Fits(bytes, 0x03C, 4) && image.NTP_Text_Address != 0 && image.NTP_Text_Address != Bank3_Device_Address) {
        problems.push_back("offset 0x03C NTP_Text_Address: " + Hex(image.NTP_Text_Address, 5) +
                           ", but it can only be 0xA0000 (NTP text present) or 0 (none)");
    }
    if (Fits(bytes, 0x658, 4) && image.S7_Rule_Count > S7_Record_Count) {
        problems.push_back("offset 0x658 S7_Rule_Count: " + std::to_string(image.S7_Rule_Count) +
                           ", but the rule table has 1024 records");
    }
    if (Fits(bytes, 0x040, 4) && image.NTP_Poll_Interval > 10000000) {
        notes.push_back("offset 0x040 NTP_Poll_Interval: " + std::to_string(image.NTP_Poll_Interval) +
                        " s is above the 10000000 s the parameter check allows");
    }

    // Runs of reserved bytes that differ from the defaults every build starts from.
    const auto& defaults = Defaults();
    const std::size_t end = std::min(bytes.size(), Bank1_Size);
    for (std::size_t i = 0; i < end;) {
        if (defaults.is_field[i] || bytes[i] == defaults.bytes[i]) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < end && !defaults.is_field[j] && bytes[j] != defaults.bytes[j]) ++j;
        image.Reserved_Changes.emplace_back(i, j - i);
        i = j;
    }
    constexpr std::size_t Shown_Runs = 8;
    for (std::size_t k = 0; k < image.Reserved_Changes.size() && k < Shown_Runs; ++k) {
        const auto [offset, length] = image.Reserved_Changes[k];
        const std::size_t shown = std::min<std::size_t>(length, 8);
        problems.push_back("reserved bytes " + Hex(offset, 3) + " to " + Hex(offset + length - 1, 3) +
                           " differ from their defaults: " + Hex_Bytes(bytes, offset, shown) +
                           (shown < length ? " ..." : "") + " instead of " +
                           Hex_Bytes(Image_Bytes(defaults.bytes), offset, shown) + (shown < length ? " ..." : ""));
    }
    if (image.Reserved_Changes.size() > Shown_Runs) {
        problems.push_back("and " + std::to_string(image.Reserved_Changes.size() - Shown_Runs) +
                           " more runs of changed reserved bytes");
    }
    return image;
}

namespace inspect_detail {

void Format_Bank1(const Bank1_Image& image, Image_Bytes bytes, const std::string& name, Text_Out& out) {
    out.Section(name + ": parameter block, " + std::to_string(image.size) + " bytes, device address " +
                Hex(Bank1_Device_Address, 5));
    out.Line("  " + Pad("offset", 8) + Pad("field", 24) + Pad("raw bytes", 14) + "value");
    for (const auto& field : Fields) {
        out.Line("  " + Pad(Hex(field.offset, 3), 8) + Pad(field.name, 24) + Pad(Hex_Bytes(bytes, field.offset, 4), 14) +
                 Field_Value(field, bytes, image));
    }
    std::size_t reserved = 0;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < Bank1_Size; ++i) reserved += Defaults().is_field[i] ? 0 : 1;
    for (const auto& run : image.Reserved_Changes) changed += run.second;
    if (image.size < Bank1_Size) {
        out.Line("  reserved: the file ends before the block does");
    } else if (changed == 0) {
        out.Line("  reserved: all " + std::to_string(reserved) + " bytes hold their defaults");
    } else {
        out.Line("  reserved: " + std::to_string(changed) + " of " + std::to_string(reserved) +
                 " bytes differ from their defaults");
    }
    out.Findings(name, image.findings);
}

} // namespace inspect_detail

} // namespace qm

// ---- fields for comparing images -------------------------------------------------------------

#include "image/image_inspect_fields.h"

namespace qm {

std::vector<Image_Field> Bank1_Fields(const Bank1_Image& image, Image_Bytes bytes) {
    std::vector<Image_Field> fields;
    for (const auto& field : Fields) {
        fields.push_back({field.name, static_cast<std::uint32_t>(Bank1_Device_Address + field.offset),
                          Field_Value(field, bytes, image), false});
    }
    return fields;
}

} // namespace qm
