// Whatever the bytes, the decoder answers with text and problems and never reads out of bounds;
// run under AddressSanitizer this is the guard for arbitrary files.

#include <gtest/gtest.h>

#include <random>

#include "image/image_inspect.h"
#include "inspect_fixtures.h"

namespace qm {
namespace {

using test::Bytes;

Bytes Random_Bytes(std::mt19937& rng, std::size_t size) {
    Bytes b(size);
    for (auto& byte : b) byte = static_cast<std::uint8_t>(rng());
    return b;
}

TEST(Inspect_Robust, Random_Buffers_Of_Any_Size_Are_Reported_Not_Crashed_On) {
    std::mt19937 rng(20240611);
    const std::size_t sizes[] = {0, 1, 3, 27, 28, 29, 1023, 1024, 1077, 1078, 1079, 2047, 2048, 2049, 28671, 28672};
    int decoded = 0;
    for (int round = 0; round < 300; ++round) {
        const std::size_t size = round < 16 ? sizes[round] : rng() % 3000;
        const Bytes b = Random_Bytes(rng, size);
        const Inspect_Report report =
            Inspect_Banks(Bank_File{"bank1.bin", b}, Bank_File{"bank2.bin", b}, Bank_File{"bank3.bin", b});
        // Random bytes never pass as a block: its size or its checksum gives them away.
        EXPECT_FALSE(report.ok()) << "size " << size;
        EXPECT_FALSE(report.text.empty());
        ++decoded;
    }
    EXPECT_EQ(decoded, 300);
}

// Every byte that places something in the full area (header addresses, lengths and counts,
// certificate entries, name addresses) is cross-checked: changing any of them must be reported.
TEST(Inspect_Robust, Any_Change_To_An_Address_Length_Or_Count_Is_Reported) {
    const Bytes clean = test::Make_Bank3(test::Full_Area());
    std::vector<std::size_t> placing;
    for (std::size_t at = 0x402; at < 0x446; ++at) placing.push_back(at); // header after the port, cert entries
    for (std::size_t var = 0; var < 3; ++var) {
        for (std::size_t k = 0; k < 4; ++k) placing.push_back(0x446 + 32 * var + k);
    }
    std::mt19937 rng(7);
    for (const std::size_t at : placing) {
        for (const int change : {1, -1, static_cast<int>(rng() % 255) + 1}) {
            Bytes b = clean;
            b[at] = static_cast<std::uint8_t>(b[at] + change);
            EXPECT_FALSE(Decode_Bank3(b).findings.problems.empty()) << "byte " << at << " changed by " << change;
        }
    }
}

TEST(Inspect_Robust, Every_Truncation_Of_A_Valid_Image_Is_A_Problem) {
    const Bytes area = test::Make_Bank3(test::Full_Area());
    for (std::size_t size = 0; size < area.size(); ++size) {
        const Bytes cut(area.begin(), area.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(Decode_Bank3(cut).findings.problems.empty()) << "bank3 cut to " << size;
    }
    const Bytes block = test::Empty_Bank1();
    for (std::size_t size = 0; size < block.size(); size += 7) {
        const Bytes cut(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(Decode_Bank1(cut).findings.problems.empty()) << "bank1 cut to " << size;
    }
}

TEST(Inspect_Robust, Huge_Counts_And_Lengths_Stay_Within_The_File) {
    Bytes area = test::Make_Bank3(test::Full_Area());
    test::Put_U32(area, 0x422, 0xFFFFFFFF); // Known_Cert_Num
    test::Put_U32(area, 0x40A, 0xFFFFFFFF); // key length
    const Bank3_Image image = Decode_Bank3(area);
    EXPECT_LE(image.known_certs.size(), area.size() / 8);
    EXPECT_TRUE(image.variables.empty());
    EXPECT_FALSE(image.findings.problems.empty());

    const Bytes big(Image_Buffer_Size + 1, 0);
    const Bank3_Image oversized = Decode_Bank3(big);
    bool mentions_buffer = false;
    for (const auto& p : oversized.findings.problems) mentions_buffer |= p.find("131072") != std::string::npos;
    EXPECT_TRUE(mentions_buffer);
}

} // namespace
} // namespace qm
