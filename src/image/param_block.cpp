#include "image/param_block.h"
#include "language/lang_table.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "common/conversions.h"
#include "common/xml_io.h"
#include "image/byte_order.h"
#include "image/image_xml.h"

namespace qm {
namespace {

// ParGen.xml keys in reading order.
enum Key : std::size_t {
    S7_IP1, S7_IP2, S7_IP3, S7_IP4, S7_SM1, S7_SM2, S7_SM3, S7_SM4,
    S7_GAT1, S7_GAT2, S7_GAT3, S7_GAT4, S7_EN_GAT,
    Srv_IP1, Srv_IP2, Srv_IP3, Srv_IP4, Srv_SM1, Srv_SM2, Srv_SM3, Srv_SM4,
    Srv_GAT1, Srv_GAT2, Srv_GAT3, Srv_GAT4, Srv_EN_GAT,
    Srv_DNS1, Srv_DNS2, Srv_DNS3, Srv_DNS4, Srv_EN_DNS,
    Srv_Port, Srv_Password, TLS_Enable, TLS_Key, TLS_Key_Password, TLS_Server_Cert, TLS_Root_Cert,
    TLS_Known_Cert, NTP_URL, NTP_Poll, Key_Count
};

constexpr std::array<const char*, Key_Count> Key_Names = {
    "S7_Protocol_IP1", "S7_Protocol_IP2", "S7_Protocol_IP3", "S7_Protocol_IP4",
    "S7_Protocol_SM1", "S7_Protocol_SM2", "S7_Protocol_SM3", "S7_Protocol_SM4",
    "S7_Protocol_GAT1", "S7_Protocol_GAT2", "S7_Protocol_GAT3", "S7_Protocol_GAT4", "S7_Protocol_EN_GAT",
    "IEC61850_Server_IP1", "IEC61850_Server_IP2", "IEC61850_Server_IP3", "IEC61850_Server_IP4",
    "IEC61850_Server_SM1", "IEC61850_Server_SM2", "IEC61850_Server_SM3", "IEC61850_Server_SM4",
    "IEC61850_Server_GAT1", "IEC61850_Server_GAT2", "IEC61850_Server_GAT3", "IEC61850_Server_GAT4",
    "IEC61850_Server_EN_GAT",
    "IEC61850_Server_DNS1", "IEC61850_Server_DNS2", "IEC61850_Server_DNS3", "IEC61850_Server_DNS4",
    "IEC61850_Server_EN_DNS",
    "IEC61850_Server_Port", "IEC61850_Server_Password", "TLS_Server_Enable", "TLS_Server_Key",
    "TLS_Server_Key_Password", "TLS_Server_Server_Certificate", "TLS_Server_Root_Certificate",
    "TLS_Server_Enable_Known_Cert", "NTP_Server_URL", "NTP_Poll_Time"};

using Texts = std::array<std::string_view, Key_Count>;

// Four keys into four bytes, each the low 8 bits of the number or of its fallback.
void Put_Address(Param_Block& block, std::size_t offset, const Texts& texts, std::size_t first_key,
                 const std::array<std::int32_t, 4>& fallbacks) {
    for (std::size_t i = 0; i < 4; ++i) {
        const std::int32_t value = Text_To_Int(texts[first_key + i], fallbacks[i]);
        Put_U8(&block.bytes[offset + i], static_cast<std::uint32_t>(value));
    }
}

// Unless the flag's text is exactly "1", the address means "none".
void Apply_Enable(Param_Block& block, std::size_t offset, std::string_view flag) {
    if (flag != "1") {
        Put_U32(&block.bytes[offset], 0xFFFFFFFFU);
    }
}

} // namespace

void Param_Block::Set_U32(std::size_t offset, std::uint32_t value) {
    Put_U32(&bytes[offset], value);
}

std::uint32_t Param_Block::U32(std::size_t offset) const {
    return Get_U32(&bytes[offset]);
}

void Set_Block_Defaults(Param_Block& block) {
    block.bytes.fill(0);
    std::uint8_t* b = block.bytes.data();
    // Reserved fields of the device with non-zero defaults.
    Put_U32(b + 0x000, 250000);
    Put_U32(b + 0x004, 250000);
    Put_U32(b + 0x00C, 9600);
    Put_U16(b + 0x034, 10000);
    Put_U16(b + 0x036, 10001);
    Put_U16(b + 0x038, 10001);
    std::fill(b + 0x1B4, b + 0x1BC, std::uint8_t{8});
    // The server side as the device leaves the factory: 192.168.2.205/24, no gateway.
    const std::uint8_t server_ip[4] = {192, 168, 2, 205};
    const std::uint8_t server_mask[4] = {255, 255, 255, 0};
    std::memcpy(b + Param_Offset::Server_IP, server_ip, 4);
    std::memcpy(b + Param_Offset::Server_Mask, server_mask, 4);
    Put_U32(b + Param_Offset::Server_Gateway, 0xFFFFFFFFU);
}

Build_Result Read_Parameters(const std::string& path, Param_Block& block, TIEC61850& iec, std::string& ntp_text) {
    pugi::xml_document doc;
    bool present = false;
    if (Build_Result loaded = Load_Build_Input(path, doc, present); !loaded || !present) {
        return loaded;
    }
    Texts t;
    Collect_Element_Texts(First_Node(doc), Key_Names, t);

    // Texts that reach bank 3 must be UTF-8 before anything is taken from the file.
    for (const Key key : {Srv_Password, TLS_Key, TLS_Key_Password, TLS_Server_Cert, TLS_Root_Cert, NTP_URL}) {
        if (Build_Result text = Check_Utf8(t[key], path, Lang(86) + std::string(Key_Names[key])); !text) {
            return text;
        }
    }

    // The reader's fallbacks differ from the block defaults on purpose: those apply only when the
    // whole file is missing.
    Put_Address(block, Param_Offset::PLC_Side_IP, t, S7_IP1, {192, 168, 0, 10});
    Put_Address(block, Param_Offset::PLC_Side_Mask, t, S7_SM1, {255, 255, 255, 0});
    Put_Address(block, Param_Offset::PLC_Side_Gateway, t, S7_GAT1, {192, 168, 0, 1});
    Apply_Enable(block, Param_Offset::PLC_Side_Gateway, t[S7_EN_GAT]);
    Put_Address(block, Param_Offset::Server_IP, t, Srv_IP1, {192, 168, 0, 10});
    Put_Address(block, Param_Offset::Server_Mask, t, Srv_SM1, {255, 255, 255, 0});
    Put_Address(block, Param_Offset::Server_Gateway, t, Srv_GAT1, {192, 168, 0, 1});
    Apply_Enable(block, Param_Offset::Server_Gateway, t[Srv_EN_GAT]);
    Put_Address(block, Param_Offset::Server_DNS, t, Srv_DNS1, {8, 8, 8, 8});
    Apply_Enable(block, Param_Offset::Server_DNS, t[Srv_EN_DNS]);

    iec.port = static_cast<std::uint16_t>(static_cast<std::uint32_t>(Text_To_Int(t[Srv_Port], 102)) & 0xFFFFU);
    iec.Password = std::string(t[Srv_Password]);
    iec.TLS_Enable = static_cast<std::uint32_t>(Text_To_Int(t[TLS_Enable], 0));
    TTLS_Bank& tls = iec.TLS_Data;
    tls.key = std::string(t[TLS_Key]);
    tls.Key_Length = static_cast<std::uint32_t>(tls.key.size() + 1);
    tls.Key_Password = std::string(t[TLS_Key_Password]);
    tls.Server_Cert.Certificate = std::string(t[TLS_Server_Cert]);
    tls.Server_Cert.Certificate_Length = static_cast<std::uint32_t>(tls.Server_Cert.Certificate.size() + 1);
    tls.Root_Cert.Certificate = std::string(t[TLS_Root_Cert]);
    tls.Root_Cert.Certificate_Length = static_cast<std::uint32_t>(tls.Root_Cert.Certificate.size() + 1);
    tls.Known_Cert_En = static_cast<std::uint32_t>(Text_To_Int(t[TLS_Known_Cert], 0));
    ntp_text = std::string(t[NTP_URL]);
    block.Set_U32(Param_Offset::NTP_Poll_Interval, static_cast<std::uint32_t>(Text_To_Int(t[NTP_Poll], 1000)));
    return {};
}

std::uint32_t Block_Checksum(const Param_Block& block) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < Param_Offset::Block_Checksum; ++i) {
        sum += block.bytes[i];
    }
    return sum;
}

std::size_t Checksum_And_Copy(Param_Block& block, Image_Buffer& buffer, std::size_t pos) {
    block.Set_U32(Param_Offset::Block_Checksum, Block_Checksum(block));
    std::memcpy(buffer.data() + pos, block.bytes.data(), Param_Block_Size);
    return pos + Param_Block_Size;
}

} // namespace qm
