#pragma once
// SHA-256 of a byte string, for the fingerprints of certificates and bank images in a report.

#include <string>
#include <string_view>

namespace qm {

// 64 lower-case hex digits.
std::string Sha256_Hex(std::string_view bytes);

} // namespace qm
