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
    bool single_bank = false; // one bank file: only that bank is compared
};

struct Image_Side_Load {
    bool ok = false;
    bool unreadable = false; // as opposed to a configuration that does not build
    std::string message;     // names the folder or file
    Image_Side side;
};

// A configuration folder (one holding any of the four configuration files) is built in memory;
// a folder holding bank files and none of the four (a bin folder) and a single bank file are
// read as they are. A bank file must be named bank1.bin, bank2.bin or bank3.bin (in any case)
// and have a size that bank can have; anything else is refused, naming what was expected.
Image_Side_Load Load_Image_Side(const std::string& path);

// Which bank a file holds by its name, "bank1.bin" to "bank3.bin" in any case; 0 for another name.
int Bank_Number(const std::string& file_name);

// Empty when size fits bank (1 to 3), else why not: 2048 and 28672 bytes exactly, 1079 to the
// 131072 of an image buffer for bank 3. The message starts with the file's path.
std::string Bank_Size_Problem(const std::string& path, int bank, std::uint64_t size);

// True when the two sides have a bank in common.
bool Comparable(const Image_Side& a, const Image_Side& b);

// The banks both sides have, compared: the fields that differ, then every run of differing
// bytes that no field line explains, so that the result is empty exactly when the images are
// byte-identical. Between two folders a bank that only one side has is a difference too.
// Texts in the current language, secrets only as changed.
Diff_Result Diff_Images(const Image_Side& a, const Image_Side& b);

} // namespace qm
