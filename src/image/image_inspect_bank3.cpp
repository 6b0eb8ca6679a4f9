#include "image/image_inspect.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>

#include "image/image_inspect_format.h"
#include "image/image_inspect_util.h"

namespace qm {

using namespace inspect_detail;

namespace {

constexpr std::size_t Header_Offset = NTP_Area_Size; // file offset of the header
constexpr std::uint64_t Known_Entry_Size = 8;
constexpr std::uint64_t Var_Entry_Size = 32;

std::uint32_t Device(std::uint64_t offset) { return static_cast<std::uint32_t>(Bank3_Device_Address + offset); }

// Walks the string pool in the order the layout fills it, checking each reference against
// the position the layout gives it.
class Pool_Walk {
public:
    Pool_Walk(Image_Bytes bytes, std::uint64_t start, Bank3_Image& image)
        : bytes_(bytes), cursor_(start), image_(image) {}

    std::uint64_t cursor() const { return cursor_; }

    // A string whose byte count the header or entry states. Length 0 means "no string": the
    // address must then be `empty_address` (the empty marker), or, with no such address, the
    // next pool position.
    void With_Length(const std::string& role, const std::string& field, std::uint32_t address, std::uint32_t length,
                 std::optional<std::uint32_t> empty_address) {
        Pool_String s = Make(role, address, String_Encoding::Utf8);
        if (length == 0) {
            s.empty_reference = true;
            const std::uint32_t expected = empty_address ? *empty_address : Device(cursor_);
            if (address != expected) {
                Problem(field + " " + Hex(address, 5) + " with length 0 should be " + Hex(expected, 5) +
                        (empty_address ? " (the empty marker)" : " (the next pool position)"));
            }
            if (!empty_address) image_.findings.notes.push_back(role + " is empty (length 0)");
            image_.strings.push_back(std::move(s));
            return;
        }
        Expect_At_Cursor(field, address);
        const auto offset = Offset_Of(address);
        if (offset && Read_Terminated(*offset, s)) {
            if (s.bytes.size() != length) {
                Problem(role + " at " + Hex(address, 5) + " is " + std::to_string(s.bytes.size()) +
                        " bytes up to its terminating zero, but its length says " + std::to_string(length));
            }
        } else {
            Problem(field + " " + Hex(address, 5) + " does not point at a terminated string inside the file");
        }
        Check_Utf8(s);
        // Continue after the string as the length places it, so that one bad address is not
        // reported again for every later string.
        if (offset) cursor_ = *offset + std::uint64_t{length} + 1;
        image_.strings.push_back(std::move(s));
    }

    // A string whose address is 0 when it is empty; its length is where its zero byte is.
    void Zero_When_Empty(const std::string& role, const std::string& field, std::uint32_t address, String_Encoding encoding) {
        Pool_String s = Make(role, address, encoding);
        if (address == 0) {
            s.empty_reference = true;
            image_.strings.push_back(std::move(s));
            return;
        }
        Expect_At_Cursor(field, address);
        Read_And_Advance(field, address, s);
    }

    // A variable name: its address is always the next pool position; an empty name takes no
    // bytes, so its address equals the next one's (or the end of the pool).
    void Name(const std::string& role, const std::string& field, std::uint32_t address,
              std::optional<std::uint32_t> next_address) {
        Pool_String s = Make(role, address, String_Encoding::Low_Byte);
        Expect_At_Cursor(field, address);
        const bool at_end = Offset_Of(address) == std::nullopt && address == Device(bytes_.size());
        if ((next_address && *next_address == address) || at_end) {
            s.empty_reference = true;
            Problem(role + " is empty: the device reads its name from whatever follows at " + Hex(address, 5));
            image_.strings.push_back(std::move(s));
            return;
        }
        Read_And_Advance(field, address, s);
    }

private:
    Pool_String Make(const std::string& role, std::uint32_t address, String_Encoding encoding) {
        Pool_String s;
        s.role = role;
        s.address = address;
        s.encoding = encoding;
        return s;
    }

    void Problem(const std::string& text) { image_.findings.problems.push_back(text); }

    void Expect_At_Cursor(const std::string& field, std::uint32_t address) {
        if (address != Device(cursor_)) {
            Problem(field + " " + Hex(address, 5) + " should be " + Hex(Device(cursor_), 5) +
                    " (the next position of the string pool)");
        }
    }

    // The file offset of a device address inside the string pool part of the file.
    std::optional<std::uint64_t> Offset_Of(std::uint32_t address) const {
        if (address < Bank3_Device_Address) return std::nullopt;
        const std::uint64_t offset = address - Bank3_Device_Address;
        if (offset >= bytes_.size() || offset < pool_start()) return std::nullopt;
        return offset;
    }

    std::uint64_t pool_start() const { return image_.marker_offset ? *image_.marker_offset + 1 : bytes_.size(); }

    bool Read_Terminated(std::uint64_t offset, Pool_String& s) {
        const auto* begin = bytes_.data() + offset;
        const auto* end = bytes_.data() + bytes_.size();
        const auto* zero = std::find(begin, end, std::uint8_t{0});
        s.bytes.assign(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(zero - begin));
        s.readable = zero != end;
        return s.readable;
    }

    void Read_And_Advance(const std::string& field, std::uint32_t address, Pool_String& s) {
        const auto offset = Offset_Of(address);
        if (offset && Read_Terminated(*offset, s)) {
            cursor_ = *offset + s.bytes.size() + 1;
        } else {
            Problem(field + " " + Hex(address, 5) + " does not point at a terminated string inside the file");
            if (offset) cursor_ = bytes_.size();
        }
        Check_Utf8(s);
        image_.strings.push_back(std::move(s));
    }

    void Check_Utf8(const Pool_String& s) {
        if (s.encoding == String_Encoding::Utf8 && !Valid_Utf8(s.bytes)) {
            Problem(s.role + " at " + Hex(s.address, 5) + " is not valid UTF-8");
        }
    }

    Image_Bytes bytes_;
    std::uint64_t cursor_;
    Bank3_Image& image_;
};

void Decode_NTP_Area(Image_Bytes bytes, Bank3_Image& image) {
    const std::size_t area_end = std::min(bytes.size(), NTP_Area_Size);
    std::size_t zero = 0;
    while (zero < area_end && bytes[zero] != 0) ++zero;
    image.NTP_Text.assign(reinterpret_cast<const char*>(bytes.data()), zero);
    image.NTP_Terminated = zero < area_end;
    if (zero == NTP_Area_Size) {
        image.findings.notes.push_back("the NTP text fills the whole 1024-byte area without a terminating zero");
    }
    for (std::size_t i = zero; i < area_end; ++i) {
        if (bytes[i] != 0) {
            image.findings.problems.push_back(
                "NTP text area: byte " + Hex(i, 3) + " is not zero after the text's terminating zero at " +
                Hex(zero, 3) + "; the device sees only " + Quote(image.NTP_Text, String_Encoding::Low_Byte));
            break;
        }
    }
}

void Decode_Header(Image_Bytes bytes, Bank3_Header& h) {
    const std::size_t at = Header_Offset;
    h.port = U16(bytes, at + 0);
    h.TLS_Enable = U32(bytes, at + 2);
    h.key_add = U32(bytes, at + 6);
    h.Key_Length = U32(bytes, at + 10);
    h.Key_Password_Add = U32(bytes, at + 14);
    h.Server_Cert_Add = U32(bytes, at + 18);
    h.Server_Cert_Length = U32(bytes, at + 22);
    h.Root_Cert_Add = U32(bytes, at + 26);
    h.Root_Cert_Length = U32(bytes, at + 30);
    h.Known_Cert_Num = U32(bytes, at + 34);
    h.Known_Cert_Add = U32(bytes, at + 38);
    h.Password_Add = U32(bytes, at + 42);
    h.Var_Number = U32(bytes, at + 46);
    h.Var_Add = U32(bytes, at + 50);
}

Var_Entry Read_Var(Image_Bytes bytes, std::size_t at) {
    Var_Entry v;
    v.Name_Add = U32(bytes, at + 0);
    v.Data_Type = U32(bytes, at + 4);
    v.Position = U32(bytes, at + 8);
    v.Start_Bit = U32(bytes, at + 12);
    v.Length = U32(bytes, at + 16);
    v.Read_Only = U32(bytes, at + 20);
    v.Factor_Bits = U32(bytes, at + 24);
    v.Multiplication_Factor = std::bit_cast<float>(v.Factor_Bits);
    v.Operation = U16(bytes, at + 28);
    v.Options = U16(bytes, at + 30);
    return v;
}

void Check_Var(const Var_Entry& v, std::size_t index, Inspect_Findings& findings) {
    const std::string where = "variable " + std::to_string(index) + " ";
    if (v.Data_Type != 2 && v.Data_Type != 4 && v.Data_Type != 6) {
        findings.problems.push_back(where + "Data_Type " + std::to_string(v.Data_Type) + " is none of 2, 4 and 6");
    }
    if (v.Data_Type == 2 && v.Length != 1) {
        findings.problems.push_back(where + "is digital but its Length is " + std::to_string(v.Length) + ", not 1");
    } else if (v.Length < 1 || v.Length > 4) {
        findings.notes.push_back(where + "Length " + std::to_string(v.Length) + " is outside 1 to 4");
    }
    if (v.Read_Only > 1) findings.problems.push_back(where + "Read_Only " + std::to_string(v.Read_Only) + " is neither 0 nor 1");
    if (v.Operation > 2) findings.problems.push_back(where + "Operation " + std::to_string(v.Operation) + " is none of 0, 1 and 2");
    if ((v.Options & ~3U) != 0) findings.problems.push_back(where + "Options " + Hex(v.Options, 4) + " has bits other than 0 and 1");
    if (v.Position > 1437) findings.notes.push_back(where + "Position " + std::to_string(v.Position) + " is above 1437");
    if (v.Start_Bit > 7) findings.notes.push_back(where + "Start_Bit " + std::to_string(v.Start_Bit) + " is above 7");
    if (!std::isfinite(v.Multiplication_Factor)) {
        findings.notes.push_back(where + "Multiplication_Factor is not a finite number");
    }
}

} // namespace

Bank3_Image Decode_Bank3(Image_Bytes bytes) {
    Bank3_Image image;
    image.size = bytes.size();
    auto& problems = image.findings.problems;
    auto& notes = image.findings.notes;

    if (bytes.size() < Bank3_Min_Size) {
        problems.push_back("the file is " + std::to_string(bytes.size()) +
                           " bytes; even an empty IEC61850 area needs 1079 (NTP text area, header, empty marker)");
    }
    if (bytes.size() > Image_Buffer_Size) {
        problems.push_back("the file is " + std::to_string(bytes.size()) + " bytes, more than the 131072 of an image buffer");
    }
    Decode_NTP_Area(bytes, image);

    image.has_header = Fits(bytes, Header_Offset, Bank3_Header_Size);
    if (!image.has_header) {
        problems.push_back("the IEC61850 header at 0x400 is missing or cut short");
        return image;
    }
    auto& h = image.header;
    Decode_Header(bytes, h);

    const std::uint32_t base = Bank3_Header_Address;
    if (h.TLS_Enable > 1) notes.push_back("header TLS_Enable " + std::to_string(h.TLS_Enable) + " is neither 0 nor 1");
    if (h.Known_Cert_Num != 0 && h.TLS_Enable != 1) {
        problems.push_back("header Known_Cert_Num is " + std::to_string(h.Known_Cert_Num) +
                           " although TLS_Enable is not 1; known certificates are stored only with TLS on");
    }
    if (h.Known_Cert_Add != base + Bank3_Header_Size) {
        problems.push_back("header Known_Cert_Add " + Hex(h.Known_Cert_Add, 5) + " should be 0xA0436");
    }

    // Entries as the layout places them; the header's addresses are checked against these places.
    const std::uint64_t known_at = Header_Offset + Bank3_Header_Size;
    const std::uint64_t vars_at = known_at + Known_Entry_Size * h.Known_Cert_Num;
    const std::uint64_t marker_at = vars_at + Var_Entry_Size * h.Var_Number;
    if (h.Var_Add != Device(vars_at)) {
        problems.push_back("header Var_Add " + Hex(h.Var_Add, 5) + " should be " + Hex(Device(vars_at), 5) +
                           " (right after the " + std::to_string(h.Known_Cert_Num) + " known-certificate entries)");
    }
    for (std::uint64_t i = 0; i < h.Known_Cert_Num && known_at + Known_Entry_Size * (i + 1) <= bytes.size(); ++i) {
        const std::size_t at = static_cast<std::size_t>(known_at + Known_Entry_Size * i);
        image.known_certs.push_back({U32(bytes, at), U32(bytes, at + 4)});
    }
    if (image.known_certs.size() < h.Known_Cert_Num) {
        problems.push_back("the " + std::to_string(h.Known_Cert_Num) +
                           " known-certificate entries run past the end of the file");
    }
    for (std::uint64_t i = 0; i < h.Var_Number && vars_at + Var_Entry_Size * (i + 1) <= bytes.size(); ++i) {
        image.variables.push_back(Read_Var(bytes, static_cast<std::size_t>(vars_at + Var_Entry_Size * i)));
        Check_Var(image.variables.back(), image.variables.size() - 1, image.findings);
    }
    if (image.variables.size() < h.Var_Number && image.known_certs.size() == h.Known_Cert_Num) {
        problems.push_back("the " + std::to_string(h.Var_Number) + " variable entries run past the end of the file");
    }
    if (marker_at < bytes.size()) {
        image.marker_offset = static_cast<std::size_t>(marker_at);
        if (bytes[image.marker_offset.value()] != 0) {
            problems.push_back("the empty marker at " + Hex(marker_at, 3) + " (device " + Hex(Device(marker_at), 5) +
                               ") is " + Hex_Bytes(bytes, image.marker_offset.value(), 1) + ", not 0");
        }
    } else if (image.variables.size() == h.Var_Number && image.known_certs.size() == h.Known_Cert_Num) {
        problems.push_back("the empty marker at " + Hex(marker_at, 3) + " lies past the end of the file");
    }
    if (!image.marker_offset) return image;

    // The strings, in the order the pool holds them.
    const std::uint32_t empty = Device(marker_at);
    Pool_Walk walk(bytes, marker_at + 1, image);
    walk.With_Length("key", "header key_add", h.key_add, h.Key_Length, empty);
    walk.Zero_When_Empty("key password", "header Key_Password_Add", h.Key_Password_Add, String_Encoding::Utf8);
    walk.With_Length("server certificate", "header Server_Cert address", h.Server_Cert_Add, h.Server_Cert_Length, empty);
    walk.With_Length("root certificate", "header Root_Cert address", h.Root_Cert_Add, h.Root_Cert_Length, empty);
    walk.Zero_When_Empty("password", "header Password_Add", h.Password_Add, String_Encoding::Low_Byte);
    for (std::size_t i = 0; i < image.known_certs.size(); ++i) {
        const auto& entry = image.known_certs[i];
        walk.With_Length("known certificate " + std::to_string(i), "known certificate " + std::to_string(i) + " address",
                     entry.Certificate_Add, entry.Length, std::nullopt);
    }
    for (std::size_t i = 0; i < image.variables.size(); ++i) {
        std::optional<std::uint32_t> next;
        if (i + 1 < image.variables.size()) next = image.variables[i + 1].Name_Add;
        walk.Name("variable " + std::to_string(i) + " name", "variable " + std::to_string(i) + " Name_Add",
                  image.variables[i].Name_Add, next);
    }
    image.pool_end = static_cast<std::size_t>(std::min<std::uint64_t>(walk.cursor(), bytes.size()));
    if (walk.cursor() < bytes.size()) {
        problems.push_back(std::to_string(bytes.size() - walk.cursor()) + " bytes from " + Hex(walk.cursor(), 3) +
                           " (device " + Hex(Device(walk.cursor()), 5) + ") to the end of the file belong to no string");
    }
    return image;
}

namespace inspect_detail {

namespace {

std::string Address_Text(std::uint32_t address, const Bank3_Image& image) {
    if (address == 0) return "0 (none)";
    if (image.marker_offset && address == Device(*image.marker_offset)) return Hex(address, 5) + " (empty marker)";
    for (const auto& s : image.strings) {
        if (s.address == address && !s.empty_reference) return Hex(address, 5) + " -> " + s.role;
    }
    return Hex(address, 5);
}

std::size_t Line_Count(const std::string& text) {
    std::size_t lines = 1;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) lines += text[i] == '\n' ? 1 : 0;
    return lines;
}

std::string Factor_Text(const Var_Entry& v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(v.Multiplication_Factor));
    return buffer;
}

std::string Var_Type(std::uint32_t code) {
    switch (code) {
    case 2: return "digital";
    case 4: return "integer";
    case 6: return "float";
    default: return "code " + std::to_string(code);
    }
}

std::string Operation_Text(std::uint16_t code) {
    switch (code) {
    case 0: return "none";
    case 1: return "int->float";
    case 2: return "float->int";
    default: return "code " + std::to_string(code);
    }
}

std::string Options_Text(std::uint16_t options) {
    std::string text;
    if ((options & 1) != 0) text = "swap";
    if ((options & 2) != 0) text += text.empty() ? "swap word" : ", swap word";
    if ((options & ~3U) != 0) text += (text.empty() ? "" : ", ") + Hex(options, 4);
    return text.empty() ? "-" : text;
}

} // namespace

void Format_Bank3(const Bank3_Image& image, Image_Bytes bytes, const std::string& name, const Inspect_Options& options,
                  Text_Out& out) {
    out.Section(name + ": IEC61850 and TLS area, " + std::to_string(image.size) + " bytes, device address " +
                Hex(Bank3_Device_Address, 5));

    out.Subsection("NTP text area at 0x000 (device 0xA0000), 1024 bytes");
    if (image.NTP_Text.empty()) {
        out.Line("    (empty)");
    } else {
        out.Line("    " + Quote(image.NTP_Text, String_Encoding::Low_Byte) + "  " + std::to_string(image.NTP_Text.size()) +
                 " bytes" + (image.NTP_Terminated ? "" : ", no terminating zero"));
    }
    if (!image.has_header) {
        out.Findings(name, image.findings);
        return;
    }

    const auto& h = image.header;
    out.Subsection("IEC61850 header at 0x400 (device 0xA0400), 54 bytes");
    out.Line("    " + Pad("offset", 8) + Pad("field", 26) + Pad("raw bytes", 14) + "value");
    auto row = [&](std::size_t offset, std::size_t width, const std::string& field, const std::string& value) {
        out.Line("    " + Pad(Hex(Header_Offset + offset, 3), 8) + Pad(field, 26) +
                 Pad(Hex_Bytes(bytes, Header_Offset + offset, width), 14) + value);
    };
    row(0, 2, "port", std::to_string(h.port));
    row(2, 4, "TLS_Enable", std::to_string(h.TLS_Enable) + (h.TLS_Enable == 1 ? " (on)" : h.TLS_Enable == 0 ? " (off)" : ""));
    row(6, 4, "key_add", Address_Text(h.key_add, image));
    row(10, 4, "key length", std::to_string(h.Key_Length) + " bytes");
    row(14, 4, "Key_Password_Add", Address_Text(h.Key_Password_Add, image));
    row(18, 4, "Server_Cert address", Address_Text(h.Server_Cert_Add, image));
    row(22, 4, "Server_Cert length", std::to_string(h.Server_Cert_Length) + " bytes");
    row(26, 4, "Root_Cert address", Address_Text(h.Root_Cert_Add, image));
    row(30, 4, "Root_Cert length", std::to_string(h.Root_Cert_Length) + " bytes");
    row(34, 4, "Known_Cert_Num", std::to_string(h.Known_Cert_Num));
    row(38, 4, "Known_Cert_Add", Hex(h.Known_Cert_Add, 5));
    row(42, 4, "Password_Add", Address_Text(h.Password_Add, image));
    row(46, 4, "Var_Number", std::to_string(h.Var_Number));
    row(50, 4, "Var_Add", Hex(h.Var_Add, 5));

    const std::size_t known_at = Header_Offset + Bank3_Header_Size;
    if (!image.known_certs.empty()) {
        out.Subsection("known-certificate entries at " + Hex(known_at, 3) + " (device " + Hex(Device(known_at), 5) +
                       "), " + std::to_string(image.known_certs.size()) + " x 8 bytes");
        out.Line("    " + Pad("#", 4) + Pad("offset", 8) + Pad("Certificate_Add", 36) + "length");
        for (std::size_t i = 0; i < image.known_certs.size(); ++i) {
            out.Line("    " + Pad(std::to_string(i), 4) + Pad(Hex(known_at + 8 * i, 3), 8) +
                     Pad(Hex(image.known_certs[i].Certificate_Add, 5) +
                             (image.known_certs[i].Length == 0 ? " (empty)" : ""), 36) +
                     std::to_string(image.known_certs[i].Length));
        }
    }
    if (!image.variables.empty()) {
        const std::size_t vars_at = known_at + 8 * image.known_certs.size();
        out.Subsection("variable entries at " + Hex(vars_at, 3) + " (device " + Hex(Device(vars_at), 5) + "), " +
                       std::to_string(image.variables.size()) + " x 32 bytes");
        out.Line("    " + Pad("#", 4) + Pad("offset", 8) + Pad("Name_Add", 10) + Pad("name", 22) + Pad("type", 9) +
                 Pad("pos", 6) + Pad("bit", 5) + Pad("len", 5) + Pad("ro", 4) + Pad("factor", 12) + Pad("operation", 12) +
                 "options");
        for (std::size_t i = 0; i < image.variables.size(); ++i) {
            const auto& v = image.variables[i];
            std::string var_name = "?";
            for (const auto& s : image.strings) {
                if (s.role == "variable " + std::to_string(i) + " name") {
                    var_name = s.empty_reference ? "(empty)" : Quote(s.bytes, s.encoding);
                }
            }
            out.Line("    " + Pad(std::to_string(i), 4) + Pad(Hex(vars_at + 32 * i, 3), 8) + Pad(Hex(v.Name_Add, 5), 10) +
                     Pad(var_name, 21) + " " + Pad(Var_Type(v.Data_Type), 9) + Pad(std::to_string(v.Position), 6) +
                     Pad(std::to_string(v.Start_Bit), 5) + Pad(std::to_string(v.Length), 5) +
                     Pad(std::to_string(v.Read_Only), 4) + Pad(Factor_Text(v), 12) + Pad(Operation_Text(v.Operation), 12) +
                     Options_Text(v.Options));
        }
    }
    if (image.marker_offset) {
        out.Line("  empty marker at " + Hex(*image.marker_offset, 3) + " (device " + Hex(Device(*image.marker_offset), 5) +
                 "): " + Hex_Bytes(bytes, *image.marker_offset, 1));
        const std::size_t pool_at = *image.marker_offset + 1;
        out.Subsection("string pool at " + Hex(pool_at, 3) + " (device " + Hex(Device(pool_at), 5) + "), " +
                       std::to_string(bytes.size() > pool_at ? bytes.size() - pool_at : 0) + " bytes");
        out.Line("    " + Pad("device", 10) + Pad("bytes", 7) + Pad("string", 22) + "text");
        for (const auto& s : image.strings) {
            if (s.empty_reference) {
                out.Line("    " + Pad(s.address == 0 ? std::string("-") : Hex(s.address, 5), 10) + Pad("0", 7) +
                         Pad(s.role, 22) + "(empty)");
                continue;
            }
            std::string text = Quote(s.bytes, s.encoding);
            const std::size_t lines = Line_Count(s.bytes);
            if (lines > 1 || (!options.full_strings && text.size() > 72)) {
                const auto first = s.bytes.substr(0, std::min<std::size_t>(s.bytes.find('\n'), 60));
                text = Quote(first, s.encoding) + " ... (" + std::to_string(lines) + " lines)";
            }
            if (s.encoding == String_Encoding::Low_Byte) text += "  [8-bit]";
            out.Line("    " + Pad(Hex(s.address, 5), 10) + Pad(std::to_string(s.bytes.size()), 7) + Pad(s.role, 22) + text);
            if (options.full_strings && lines > 1) {
                // Whole, line by line, as the device will hold it; escapes only for control bytes.
                std::size_t start = 0;
                while (start < s.bytes.size()) {
                    const std::size_t end = std::min(s.bytes.find('\n', start), s.bytes.size());
                    const std::string line = Quote(std::string_view(s.bytes).substr(start, end - start), s.encoding);
                    out.Line("        | " + line.substr(1, line.size() - 2));
                    start = end + 1;
                }
            }
        }
    }
    out.Findings(name, image.findings);
}

} // namespace inspect_detail

} // namespace qm

// ---- fields for comparing images -------------------------------------------------------------

#include "image/image_inspect_fields.h"

namespace qm {

std::uint32_t Known_Cert_Entry_Address(std::size_t index) {
    return Device(Header_Offset + Bank3_Header_Size + Known_Entry_Size * index);
}

std::uint32_t Var_Entry_Address(std::size_t index, std::size_t known_count) {
    return Device(Header_Offset + Bank3_Header_Size + Known_Entry_Size * known_count + Var_Entry_Size * index);
}

std::vector<Image_Field> Bank3_Header_Fields(const Bank3_Image& image) {
    if (!image.has_header) return {};
    const auto& h = image.header;
    const std::uint32_t at = Bank3_Header_Address;
    auto address = [&image](std::uint32_t value) { return inspect_detail::Address_Text(value, image); };
    return {
        {"port", at + 0, std::to_string(h.port), false},
        {"TLS_Enable", at + 2,
         std::to_string(h.TLS_Enable) + (h.TLS_Enable == 1 ? " (on)" : h.TLS_Enable == 0 ? " (off)" : ""), false},
        {"key_add", at + 6, address(h.key_add), true},
        {"key length", at + 10, std::to_string(h.Key_Length) + " bytes", false},
        {"Key_Password_Add", at + 14, address(h.Key_Password_Add), true},
        {"Server_Cert address", at + 18, address(h.Server_Cert_Add), true},
        {"Server_Cert length", at + 22, std::to_string(h.Server_Cert_Length) + " bytes", false},
        {"Root_Cert address", at + 26, address(h.Root_Cert_Add), true},
        {"Root_Cert length", at + 30, std::to_string(h.Root_Cert_Length) + " bytes", false},
        {"Known_Cert_Num", at + 34, std::to_string(h.Known_Cert_Num), false},
        {"Known_Cert_Add", at + 38, Hex(h.Known_Cert_Add, 5), true},
        {"Password_Add", at + 42, address(h.Password_Add), true},
        {"Var_Number", at + 46, std::to_string(h.Var_Number), false},
        {"Var_Add", at + 50, Hex(h.Var_Add, 5), true},
    };
}

std::vector<Image_Field> Var_Entry_Fields(const Var_Entry& v, std::size_t index, std::size_t known_count) {
    const std::uint32_t at = Var_Entry_Address(index, known_count);
    return {
        {"Name_Add", at + 0, Hex(v.Name_Add, 5), true},
        {"Data_Type", at + 4, inspect_detail::Var_Type(v.Data_Type), false},
        {"Position", at + 8, std::to_string(v.Position), false},
        {"Start_Bit", at + 12, std::to_string(v.Start_Bit), false},
        {"Length", at + 16, std::to_string(v.Length), false},
        {"Read_Only", at + 20, std::to_string(v.Read_Only), false},
        {"Multiplication_Factor", at + 24, inspect_detail::Factor_Text(v), false},
        {"Operation", at + 28, inspect_detail::Operation_Text(v.Operation), false},
        {"Options", at + 30, inspect_detail::Options_Text(v.Options), false},
    };
}

} // namespace qm
