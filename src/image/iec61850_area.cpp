#include "image/iec61850_area.h"
#include "language/lang_table.h"

#include <array>
#include <bit>
#include <cstring>

#include "common/conversions.h"
#include "common/xml_io.h"
#include "image/byte_order.h"
#include "image/image_xml.h"
#include "image/text_units.h"

namespace qm {
namespace {

enum Var_Attr : std::size_t {
    V_Enable, V_Name, V_Type, V_Length, V_ReadOnly, V_Position, V_StartBit, V_Conversion,
    V_MultiplicationFactor, V_Swap, V_SwapWord, V_Mnemonic, V_Count
};
// Mnemonic is named only so that it is recognised quickly; it is not used.
constexpr std::array<const char*, V_Count> Var_Names = {
    "Enable", "Name", "Type", "Length", "ReadOnly", "Position", "StartBit", "Conversion",
    "MultiplicationFactor", "Swap", "SwapWord", "Mnemonic"};

enum Cert_Attr : std::size_t { C_Enable, C_Certificate, C_Mnemonic, C_Count };
constexpr std::array<const char*, C_Count> Cert_Names = {"Enable", "Certificate", "Mnemonic"};

// The separator only decides which of "," and "." is turned into the other before the number is
// read, so the value comes out the same with either; one query of the user's settings per run does.
char Decimal_Separator() {
    static const char separator = Get_Decimal_Separator();
    return separator;
}

std::uint32_t As_U32(std::int32_t value) {
    return static_cast<std::uint32_t>(value);
}

std::uint32_t Utf8_Length_Plus_One(const std::string& text) {
    return static_cast<std::uint32_t>(text.size() + 1);
}

std::string Row_Field(std::size_t row, std::string_view attribute) {
    return Lang(84) + std::to_string(row) + Lang(85) + std::string(attribute);
}

TIEC61850_Var Make_Variable(const std::array<std::string_view, V_Count>& a, char separator) {
    TIEC61850_Var v;
    v.Name = std::string(a[V_Name]);

    const std::string type = Upper_Ascii(Trim(a[V_Type]));
    if (type == "FLOAT") {
        v.Data_Type = Var_Type_Float;
    } else if (type == "DIGITAL (BIT)") {
        v.Data_Type = Var_Type_Digital;
    } else {
        v.Data_Type = Var_Type_Int;
    }

    v.Length = As_U32(Text_To_Int(a[V_Length], 0));
    if (v.Data_Type == Var_Type_Digital) {
        v.Length = 1; // one bit, whatever the file says
    }
    v.Read_Only = Upper_Ascii(Trim(a[V_ReadOnly])) == "Y" ? 1U : 0U;
    v.Position = As_U32(Text_To_Int(a[V_Position], 0));
    v.Start_Bit = As_U32(Text_To_Int(a[V_StartBit], 0));

    const std::string conversion = Upper_Ascii(Trim(a[V_Conversion]));
    if (conversion == "INT TO FLOAT") {
        v.Operation = Var_Operation_Int_To_Float;
    } else if (conversion == "FLOAT TO INT") {
        v.Operation = Var_Operation_Float_To_Int;
    } else {
        v.Operation = Var_Operation_None;
    }

    if (Upper_Ascii(Trim(a[V_MultiplicationFactor])) == "NONE") {
        v.Multiplication_Factor = 1.0F;
    } else {
        // 1.0 when the text is no number, as for a missing attribute.
        v.Multiplication_Factor = Str_To_Float_Local(a[V_MultiplicationFactor], separator).value;
    }

    v.Options = 0;
    if (a[V_Swap] == "Y") {
        v.Options |= Var_Option_Swap;
    }
    if (a[V_SwapWord] == "Y") {
        v.Options |= Var_Option_Swap_Word;
    }
    return v;
}

// Bytes a string takes in the pool: nothing when empty, else its bytes and a terminating zero.
std::size_t Pool_Size(std::size_t length) {
    return length == 0 ? 0 : length + 1;
}

std::uint8_t* Put_Utf8_String(std::uint8_t* at, const std::string& text) {
    if (text.empty()) {
        return at;
    }
    std::memcpy(at, text.data(), text.size());
    at[text.size()] = 0;
    return at + text.size() + 1;
}

std::uint8_t* Put_Low_Byte_String(std::uint8_t* at, const std::string& text) {
    if (text.empty()) {
        return at;
    }
    const std::size_t units = Put_Low_Bytes(text, at, Utf16_Length(text));
    at[units] = 0;
    return at + units + 1;
}

} // namespace

void Reset_IEC61850(TIEC61850& iec, std::string& ntp_text) {
    iec = TIEC61850{};
    ntp_text.clear();
}

bool Known_Certs_In_Image(const TIEC61850& iec) {
    return iec.TLS_Enable == 1 && iec.TLS_Data.Known_Cert_En == 1;
}

Build_Result Read_IEC61850_Variables(const std::string& path, TIEC61850& iec) {
    const char separator = Decimal_Separator();
    iec.Var_Number = 0;
    iec.Variables.clear();

    pugi::xml_document doc;
    bool present = false;
    if (Build_Result loaded = Load_Build_Input(path, doc, present); !loaded || !present) {
        return loaded;
    }
    const pugi::xml_node root = Build_List_Section(doc, Build_List::Variables);
    std::array<std::string_view, V_Count> a;
    std::size_t row = 0;
    for (pugi::xml_node e = root.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element) {
            continue;
        }
        ++row;
        Collect_Attributes(e, Var_Names, a);
        if (!Build_Takes(a[V_Enable])) {
            continue;
        }
        if (Build_Result text = Check_Utf8(a[V_Name], path, Row_Field(row, "Name")); !text) {
            return text;
        }
        iec.Variables.push_back(Make_Variable(a, separator));
        ++iec.Var_Number;
    }
    return {};
}

Build_Result Read_TLS_Known_Cert(const std::string& path, TIEC61850& iec) {
    TTLS_Bank& tls = iec.TLS_Data;
    tls.Known_Cert_Num = 0;
    tls.Known_Cert.clear();

    pugi::xml_document doc;
    bool present = false;
    if (Build_Result loaded = Load_Build_Input(path, doc, present); !loaded || !present) {
        return loaded;
    }
    const pugi::xml_node root = Build_List_Section(doc, Build_List::Certificates);
    std::array<std::string_view, C_Count> a;
    std::size_t row = 0;
    for (pugi::xml_node e = root.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element) {
            continue;
        }
        ++row;
        Collect_Attributes(e, Cert_Names, a);
        if (!Build_Takes(a[C_Enable])) {
            continue;
        }
        if (Build_Result text = Check_Utf8(a[C_Certificate], path, Row_Field(row, "Certificate")); !text) {
            return text;
        }
        TTLS_Certificate cert;
        cert.Certificate = std::string(a[C_Certificate]);
        cert.Certificate_Length = Utf8_Length_Plus_One(cert.Certificate);
        tls.Known_Cert.push_back(std::move(cert));
        ++tls.Known_Cert_Num;
    }
    return {};
}

std::size_t Write_NTP_Text_Area(const std::string& ntp_text, Image_Buffer& buffer, std::size_t pos) {
    std::uint8_t* area = buffer.data() + pos;
    // A text of 1024 code units or more fills the area without a terminating zero.
    const std::size_t units = Put_Low_Bytes(ntp_text, area, NTP_Text_Area_Size);
    std::memset(area + units, 0, NTP_Text_Area_Size - units);
    return pos + NTP_Text_Area_Size;
}

std::size_t IEC61850_Area_Size(const TIEC61850& iec) {
    const TTLS_Bank& tls = iec.TLS_Data;
    const bool known = Known_Certs_In_Image(iec);
    std::size_t size = IEC61850_Header_Size + Var_Entry_Size * iec.Variables.size() + 1;
    if (known) {
        size += Known_Cert_Entry_Size * tls.Known_Cert.size();
    }
    size += Pool_Size(tls.key.size()) + Pool_Size(tls.Key_Password.size()) +
            Pool_Size(tls.Server_Cert.Certificate.size()) + Pool_Size(tls.Root_Cert.Certificate.size()) +
            Pool_Size(Utf16_Length(iec.Password));
    if (known) {
        for (const TTLS_Certificate& cert : tls.Known_Cert) {
            size += Pool_Size(cert.Certificate.size());
        }
    }
    for (const TIEC61850_Var& v : iec.Variables) {
        size += Pool_Size(Utf16_Length(v.Name));
    }
    return size;
}

Build_Result Assemble_IEC61850_Area(TIEC61850& iec, std::uint32_t base, Image_Buffer& buffer, std::size_t pos,
                                    std::size_t& end) {
    end = pos;
    const std::size_t size = IEC61850_Area_Size(iec);
    if (pos > Image_Buffer_Size || size > Image_Buffer_Size - pos) {
        return {Build_Status::Over_Limit, Lang(88) + std::to_string(pos + size) + Lang(89) +
                                              std::to_string(Image_Buffer_Size) + Lang(90)};
    }

    TTLS_Bank& tls = iec.TLS_Data;
    const bool known = Known_Certs_In_Image(iec);
    // The lengths follow the texts, so the addresses below always match the pool written later.
    tls.Key_Length = Utf8_Length_Plus_One(tls.key);
    tls.Server_Cert.Certificate_Length = Utf8_Length_Plus_One(tls.Server_Cert.Certificate);
    tls.Root_Cert.Certificate_Length = Utf8_Length_Plus_One(tls.Root_Cert.Certificate);
    for (TTLS_Certificate& cert : tls.Known_Cert) {
        cert.Certificate_Length = Utf8_Length_Plus_One(cert.Certificate);
    }
    iec.Var_Number = static_cast<std::uint32_t>(iec.Variables.size());
    tls.Known_Cert_Num = static_cast<std::uint32_t>(tls.Known_Cert.size());

    // Offsets from the header; the area fits the buffer, so every address fits 32 bits.
    const auto at = [base](std::size_t offset) { return base + static_cast<std::uint32_t>(offset); };
    tls.Known_Cert_Add = at(IEC61850_Header_Size);
    std::size_t h = IEC61850_Header_Size;
    if (known) {
        h += Known_Cert_Entry_Size * tls.Known_Cert.size();
    }
    iec.Var_Add = at(h);
    const std::size_t marker = h + Var_Entry_Size * iec.Variables.size();
    const std::uint32_t empty_string = at(marker); // the marker doubles as an empty string
    std::size_t p = marker + 1;

    const auto place = [&](const std::string& text, std::size_t length, std::uint32_t when_empty) {
        if (text.empty()) {
            return when_empty;
        }
        const std::uint32_t address = at(p);
        p += length + 1;
        return address;
    };
    tls.key_add = place(tls.key, tls.key.size(), empty_string);
    tls.Key_Password_Add = place(tls.Key_Password, tls.Key_Password.size(), 0);
    tls.Server_Cert.Certificate_Add =
        place(tls.Server_Cert.Certificate, tls.Server_Cert.Certificate.size(), empty_string);
    tls.Root_Cert.Certificate_Add = place(tls.Root_Cert.Certificate, tls.Root_Cert.Certificate.size(), empty_string);
    iec.Password_Add = place(iec.Password, Utf16_Length(iec.Password), 0);
    if (known) {
        // An empty certificate gets the address of whatever follows it.
        for (TTLS_Certificate& cert : tls.Known_Cert) {
            cert.Certificate_Add = place(cert.Certificate, cert.Certificate.size(), at(p));
        }
    }
    for (TIEC61850_Var& v : iec.Variables) {
        v.Name_Add = place(v.Name, Utf16_Length(v.Name), at(p));
    }

    std::uint8_t* const header = buffer.data() + pos;
    Put_U16(header + 0, iec.port);
    Put_U32(header + 2, iec.TLS_Enable);
    Put_U32(header + 6, tls.key_add);
    Put_U32(header + 10, tls.Key_Length - 1);
    Put_U32(header + 14, tls.Key_Password_Add);
    Put_U32(header + 18, tls.Server_Cert.Certificate_Add);
    Put_U32(header + 22, tls.Server_Cert.Certificate_Length - 1);
    Put_U32(header + 26, tls.Root_Cert.Certificate_Add);
    Put_U32(header + 30, tls.Root_Cert.Certificate_Length - 1);
    Put_U32(header + 34, known ? tls.Known_Cert_Num : 0);
    Put_U32(header + 38, tls.Known_Cert_Add);
    Put_U32(header + 42, iec.Password_Add);
    Put_U32(header + 46, iec.Var_Number);
    Put_U32(header + 50, iec.Var_Add);

    std::uint8_t* out = header + IEC61850_Header_Size;
    if (known) {
        for (const TTLS_Certificate& cert : tls.Known_Cert) {
            Put_U32(out, cert.Certificate_Add);
            Put_U32(out + 4, cert.Certificate_Length - 1);
            out += Known_Cert_Entry_Size;
        }
    }
    for (const TIEC61850_Var& v : iec.Variables) {
        Put_U32(out + 0, v.Name_Add);
        Put_U32(out + 4, v.Data_Type);
        Put_U32(out + 8, v.Position);
        Put_U32(out + 12, v.Start_Bit);
        Put_U32(out + 16, v.Length);
        Put_U32(out + 20, v.Read_Only);
        Put_U32(out + 24, std::bit_cast<std::uint32_t>(v.Multiplication_Factor));
        Put_U16(out + 28, v.Operation);
        Put_U16(out + 30, v.Options);
        out += Var_Entry_Size;
    }
    *out++ = 0; // Empty_Marker

    out = Put_Utf8_String(out, tls.key);
    out = Put_Utf8_String(out, tls.Key_Password);
    out = Put_Utf8_String(out, tls.Server_Cert.Certificate);
    out = Put_Utf8_String(out, tls.Root_Cert.Certificate);
    out = Put_Low_Byte_String(out, iec.Password);
    if (known) {
        for (const TTLS_Certificate& cert : tls.Known_Cert) {
            out = Put_Utf8_String(out, cert.Certificate);
        }
    }
    for (const TIEC61850_Var& v : iec.Variables) {
        out = Put_Low_Byte_String(out, v.Name);
    }

    end = pos + static_cast<std::size_t>(out - header);
    return {};
}

} // namespace qm
