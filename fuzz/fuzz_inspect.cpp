// The bank decoder on arbitrary bytes, as each bank and as a set that is cross-checked.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "image/image_inspect.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using qm::fuzz::Require;
    const qm::Image_Bytes bytes(data, size);

    const qm::Bank1_Image b1 = qm::Decode_Bank1(bytes);
    Require(b1.size == size, "bank 1 size");
    Require(b1.complete() || !b1.findings.problems.empty(), "a short bank 1 raised no problem");
    const qm::Bank2_Image b2 = qm::Decode_Bank2(bytes, b1.complete() ? std::optional(b1.S7_Rule_Count) : std::nullopt);
    Require(b2.records.size() <= qm::S7_Record_Count, "more records than the table holds");
    const qm::Bank3_Image b3 = qm::Decode_Bank3(bytes);
    Require(b3.size == size, "bank 3 size");
    for (const qm::Pool_String& s : b3.strings) {
        Require(!s.readable || (s.address >= qm::Bank3_Device_Address &&
                                s.address - qm::Bank3_Device_Address + s.bytes.size() < size),
                "a readable string lies outside the file", s.role);
    }

    // The whole set, with each bank given the same bytes: every cross-check runs on nonsense.
    const std::vector<std::uint8_t> copy(data, data + size);
    const qm::Bank_File f1{"bank1.bin", copy};
    const qm::Bank_File f2{"bank2.bin", copy};
    const qm::Bank_File f3{"bank3.bin", copy};
    const qm::Inspect_Report report = qm::Inspect_Banks(f1, f2, f3, {true, true});
    Require(!report.text.empty(), "an empty report");
    (void)qm::Inspect_Banks(std::nullopt, std::nullopt, f3);
    (void)qm::Guess_Bank("x.bin", size);
    return 0;
}
