#include "build_inspect_check.h"

#include "image/image_inspect.h"

namespace qm::fuzz {

std::vector<std::string> Inspect_Problems(std::string_view bank1, std::string_view bank2, std::string_view bank3) {
    const auto file = [](const char* name, std::string_view bytes) {
        return Bank_File{name, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
    };
    return Inspect_Banks(file("bank1.bin", bank1), file("bank2.bin", bank2), file("bank3.bin", bank3)).problems;
}

} // namespace qm::fuzz
