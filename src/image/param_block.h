#pragma once
// Bank 1: the device's 2048-byte parameter block, its defaults, its filling from ParGen.xml and its
// checksum.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "image/iec61850_area.h"
#include "image/image_buffer.h"
#include "image/image_result.h"

namespace qm {

inline constexpr std::size_t Param_Block_Size = 2048;

// Offsets of the fields this model writes; everything else is reserved.
namespace Param_Offset {
inline constexpr std::size_t Server_IP = 0x028;
inline constexpr std::size_t Server_Mask = 0x02C;
inline constexpr std::size_t Server_Gateway = 0x030;
inline constexpr std::size_t NTP_Text_Address = 0x03C;
inline constexpr std::size_t NTP_Poll_Interval = 0x040;
inline constexpr std::size_t PLC_Side_IP = 0x184;
inline constexpr std::size_t PLC_Side_Mask = 0x188;
inline constexpr std::size_t PLC_Side_Gateway = 0x18C;
inline constexpr std::size_t Server_DNS = 0x58C;
inline constexpr std::size_t IEC61850_Area_Address = 0x5E8;
inline constexpr std::size_t S7_Table_Address = 0x654;
inline constexpr std::size_t S7_Rule_Count = 0x658;
inline constexpr std::size_t Block_Checksum = 0x7FC;
} // namespace Param_Offset

struct Param_Block {
    std::array<std::uint8_t, Param_Block_Size> bytes{};

    void Set_U32(std::size_t offset, std::uint32_t value);
    std::uint32_t U32(std::size_t offset) const;
};

// Writes the defaults over the whole block, checksum field included.
void Set_Block_Defaults(Param_Block& block);

// Fills the block's network and NTP fields, the IEC61850 and TLS values and the NTP text from
// ParGen.xml. A missing file leaves everything as it was; a missing or bad value takes its
// fallback. Fails only for a file that cannot be read or parsed, or a text bound for the image
// that is not UTF-8.
Build_Result Read_Parameters(const std::string& path, Param_Block& block, TIEC61850& iec, std::string& ntp_text);

// Sum of the bytes before the checksum field.
std::uint32_t Block_Checksum(const Param_Block& block);

// Stores the checksum, copies the block to pos and returns pos + 2048.
std::size_t Checksum_And_Copy(Param_Block& block, Image_Buffer& buffer, std::size_t pos);

} // namespace qm
