#pragma once
// Little-endian stores into image bytes, one byte at a time, so the images do not depend on
// the byte order of the machine that builds them.

#include <cstddef>
#include <cstdint>

namespace qm {

inline void Put_U8(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFFU);
}

inline void Put_U16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFFU);
    at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFFU);
}

inline void Put_U32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFFU);
    at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFFU);
    at[2] = static_cast<std::uint8_t>((value >> 16) & 0xFFU);
    at[3] = static_cast<std::uint8_t>((value >> 24) & 0xFFU);
}

inline std::uint32_t Get_U32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

} // namespace qm
