#pragma once
// The decoded images as (field, device address, value) items, for comparing two images field
// by field. Names and values read as `inspect` prints them.

#include <cstdint>
#include <string>
#include <vector>

#include "image/image_inspect.h"

namespace qm {

struct Image_Field {
    std::string name;
    std::uint32_t address = 0; // absolute device address of the field's first byte
    std::string value;
    bool pointer = false; // holds a device address into the string pool, which moves with it
};

// The fields of the parameter block this model writes, checksum last.
std::vector<Image_Field> Bank1_Fields(const Bank1_Image& image, Image_Bytes bytes);

// The fields of one used rule record, at that record's place in the table.
std::vector<Image_Field> S7_Record_Fields(const S7_Record& record);

// The header fields of bank 3; empty when the file has no header.
std::vector<Image_Field> Bank3_Header_Fields(const Bank3_Image& image);

// The fields of variable entry `index`, placed after `known_count` certificate entries.
std::vector<Image_Field> Var_Entry_Fields(const Var_Entry& entry, std::size_t index, std::size_t known_count);

// Device address of variable entry `index` and of known-certificate entry `index`.
std::uint32_t Var_Entry_Address(std::size_t index, std::size_t known_count);
std::uint32_t Known_Cert_Entry_Address(std::size_t index);

} // namespace qm
