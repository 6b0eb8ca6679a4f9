#include "language/default_strings.h"

#include <array>
#include <string_view>
#include <utility>

namespace qm {
namespace {

// Entry number and English default; every index not listed holds a single blank.
constexpr std::pair<int, std::string_view> Defaults[] = {
    {18, "Error! Project not Valid"},
};

} // namespace

const std::string& Default_String(int index) {
    static const auto table = [] {
        std::array<std::string, 1900> texts;
        texts.fill(" ");
        for (const auto& [i, text] : Defaults) {
            texts[static_cast<std::size_t>(i)] = std::string(text);
        }
        return texts;
    }();
    static const std::string blank = " ";
    if (index < 0 || index >= static_cast<int>(table.size())) {
        return blank;
    }
    return table[static_cast<std::size_t>(index)];
}

} // namespace qm
