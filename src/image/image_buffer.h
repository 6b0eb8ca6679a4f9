#pragma once
// Device addresses of the three images and the assembly buffer each one is built in.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace qm {

inline constexpr std::uint32_t Bank1_Device_Address = 0x07000;
inline constexpr std::uint32_t Bank2_Device_Address = 0x80000;
inline constexpr std::uint32_t Bank3_Device_Address = 0xA0000;
inline constexpr std::uint32_t IEC61850_Header_Address = 0xA0400;

inline constexpr std::size_t Image_Buffer_Size = 131072;

// Every assembly step writes each byte up to the final length, so the buffer is not cleared
// beforehand (which would touch all 128 KB of it in every process that builds).
struct Image_Buffer {
    std::unique_ptr<std::uint8_t[]> bytes = std::make_unique_for_overwrite<std::uint8_t[]>(Image_Buffer_Size);
    std::size_t length = 0; // bytes in use, from the start

    std::uint8_t* data() { return bytes.get(); }
    const std::uint8_t* data() const { return bytes.get(); }
};

} // namespace qm
