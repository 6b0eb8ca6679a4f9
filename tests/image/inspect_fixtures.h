#pragma once
// Small hand-assembled bank images for the decoder tests, laid out from the image descriptions
// alone (they share no code with the builder).

#include <cstdint>
#include <string>
#include <vector>

namespace qm::test {

using Bytes = std::vector<std::uint8_t>;

void Put_U16(Bytes& b, std::size_t at, std::uint16_t v);
void Put_U32(Bytes& b, std::size_t at, std::uint32_t v);
std::uint32_t Get_U32(const Bytes& b, std::size_t at);

// The block of a project without ParGen.xml, rules or NTP text: defaults, the two fixed
// addresses and the checksum (3480).
Bytes Empty_Bank1();
// Recomputes the checksum after a test changed the block.
void Seal_Bank1(Bytes& block);

struct Rule_Fixture {
    std::uint32_t address = 0xC0A8017D; // 192.168.1.125
    std::uint32_t poll = 1000;
    std::uint16_t plc_add = 0, db = 0, port = 102, position = 0;
    std::uint8_t bit = 0, plc_type = 10, data_type = 4, identifier = 10, flags = 0, plc_bit = 0, area = 0x83,
                 rack_slot = 2;
};
Bytes Bank2_With(const std::vector<Rule_Fixture>& rules);

struct Var_Fixture {
    std::string name; // stored one byte per character, as given
    std::uint32_t type = 4, position = 0, start_bit = 0, length = 2, read_only = 0;
    float factor = 1.0F;
    std::uint16_t operation = 0, options = 0;
};

struct Area_Fixture {
    std::string ntp;
    std::uint16_t port = 102;
    std::uint32_t tls = 0;
    std::string key, key_password, server_cert, root_cert, password;
    std::vector<std::string> known; // stored only when tls is 1
    std::vector<Var_Fixture> vars;
};
// Assembles bank 3 exactly as the layout prescribes, addresses included.
Bytes Make_Bank3(const Area_Fixture& area);

// A bank 3 that uses every part of the layout: NTP text, all header strings, two known
// certificates and three variables.
Area_Fixture Full_Area();

} // namespace qm::test
