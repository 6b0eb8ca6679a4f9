#pragma once
// The differences between two sets of device images, field by field with device addresses,
// through the decoder behind `inspect`.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "review/config_diff.h"

namespace qm {

// The builder and the decoder are independent of each other and never meet in one file:
// loading a side builds (image_side.cpp), comparing decodes (bank_diff.cpp).
struct Bank_Bytes {
    std::string name; // "bank1.bin" ...
    std::vector<std::uint8_t> bytes;
};

// One side of an image comparison: the banks it has (a single bank file gives one).
struct Image_Side {
    std::string name;
    std::array<std::optional<Bank_Bytes>, 3> banks;
};

struct Image_Side_Load {
    bool ok = false;
    bool unreadable = false; // as opposed to a configuration that does not build
    std::string message;     // names the folder or file
    Image_Side side;
};

// A configuration folder is built in memory; a folder holding bank files and none of the four
// configuration files (a bin folder) and a single bank file are read as they are.
Image_Side_Load Load_Image_Side(const std::string& path);

// Which bank a file holds, by its name or else its size, as `inspect` tells; 0 when neither tells.
int Bank_Number(const std::string& file_name, std::size_t size);

// True when the two sides have a bank in common.
bool Comparable(const Image_Side& a, const Image_Side& b);

// The banks both sides have, compared; texts in the current language, secrets only as changed.
Diff_Result Diff_Images(const Image_Side& a, const Image_Side& b);

} // namespace qm
