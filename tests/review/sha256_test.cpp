#include "review/sha256.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct Digest_Case {
    const char* name;
    std::string input;
    const char* digest;
};

class Sha256 : public testing::TestWithParam<Digest_Case> {};

TEST_P(Sha256, Matches_The_Published_Digest) { EXPECT_EQ(Sha256_Hex(GetParam().input), GetParam().digest); }

// The standard's examples, and lengths around the block boundary where the padding spills over.
INSTANTIATE_TEST_SUITE_P(
    Vectors, Sha256,
    testing::Values(
        Digest_Case{"Empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        Digest_Case{"Abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        Digest_Case{"Two_Blocks", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                    "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        Digest_Case{"Million_A", std::string(1000000, 'a'),
                    "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        Digest_Case{"Sixty_Four", std::string(64, 'a'),
                    "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace qm
