#pragma once
#include <string>

namespace qm {
// Defined in default_strings.cpp: the built-in English text of entry index.
const std::string& Default_String(int index);
} // namespace qm
