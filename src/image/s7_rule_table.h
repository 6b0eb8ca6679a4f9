#pragma once
// Bank 2: the enabled S7comm rules of S7_Protocol.xml as 1024 fixed 28-byte records, read rules
// first, then write rules, the unused records zero.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "image/image_buffer.h"
#include "image/image_result.h"

namespace qm {

inline constexpr std::size_t S7_Rule_Size = 28;
inline constexpr std::size_t S7_Rule_Capacity = 1024;
inline constexpr std::size_t S7_Rule_Table_Size = S7_Rule_Size * S7_Rule_Capacity;

namespace Rule_Flags {
inline constexpr std::uint8_t On_Change = 0x01;  // write rules only
inline constexpr std::uint8_t Swap = 0x04;
inline constexpr std::uint8_t Swap_Word = 0x08;
inline constexpr std::uint8_t On_CMD = 0x10;     // write rules only
inline constexpr std::uint8_t Write_Rule = 0x20;
} // namespace Rule_Flags

struct S7_Rule {
    std::uint32_t PLC_Address = 0; // first dotted part in the most significant byte
    std::uint32_t PollTime = 0;
    std::uint16_t PLC_Add = 0;
    std::uint16_t DB_Number = 0;
    std::uint16_t PLC_Port = 0;
    std::uint16_t Position = 0;
    std::uint8_t Bit = 0;
    std::uint8_t PLC_Type = 0;
    std::uint8_t Data_Type = 0;
    std::uint8_t Data_Identifier = 0;
    std::uint8_t Rule_Flags = 0;
    std::uint8_t PLC_Bit = 0;
    std::uint8_t PLC_Area = 0;
    std::uint8_t Rack_Slot = 0;
};

struct S7_Rule_Table {
    std::array<S7_Rule, S7_Rule_Capacity> records{};
};

// The device codes of the drop-down texts; exact comparison, anything else gives the last value.
std::uint8_t PLC_Type_Code(std::string_view text);       // else 0
std::uint8_t S7_Data_Type_Code(std::string_view text);   // else 1
std::uint8_t Data_Identifier_Code(std::string_view text); // else 8
std::uint8_t PLC_Area_Code(std::string_view text);       // else 0x80

void Clear_S7_Rule_Table(S7_Rule_Table& table);

// Fills the table from the enabled rules of S7_Protocol.xml and sets count to the records filled.
// A missing file gives no rules. Fails for a file that cannot be read or parsed, and for more
// enabled rules than the table holds (nothing is stored beyond it).
Build_Result Read_S7_Rules(const std::string& path, S7_Rule_Table& table, std::uint32_t& count);

// Writes the 1024 records at pos; returns pos + 28672.
std::size_t Serialise_S7_Rules(const S7_Rule_Table& table, Image_Buffer& buffer, std::size_t pos);

} // namespace qm
