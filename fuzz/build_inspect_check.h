#pragma once
// The independent bank decoder, behind a function of its own: its header and the builder's
// both name the device constants, so they are not included into one file.

#include <string>
#include <string_view>
#include <vector>

namespace qm::fuzz {

// The problems the decoder finds in a set of three bank images, cross-checks included.
std::vector<std::string> Inspect_Problems(std::string_view bank1, std::string_view bank2, std::string_view bank3);

} // namespace qm::fuzz
