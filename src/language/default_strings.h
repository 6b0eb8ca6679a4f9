#pragma once
#include <string>

namespace qm {

inline constexpr int Default_String_Count = 1900;

// Defined in default_strings.cpp: the built-in English text of entry index; a single blank
// for an index that has no text of its own or lies outside the table.
const std::string& Default_String(int index);

} // namespace qm
