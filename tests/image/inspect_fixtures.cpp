#include "inspect_fixtures.h"

#include <bit>
#include <numeric>

namespace qm::test {

void Put_U16(Bytes& b, std::size_t at, std::uint16_t v) {
    b.at(at) = static_cast<std::uint8_t>(v);
    b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

void Put_U32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t Get_U32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at)) | (static_cast<std::uint32_t>(b.at(at + 1)) << 8) |
           (static_cast<std::uint32_t>(b.at(at + 2)) << 16) | (static_cast<std::uint32_t>(b.at(at + 3)) << 24);
}

void Seal_Bank1(Bytes& block) {
    Put_U32(block, 0x7FC, std::accumulate(block.begin(), block.begin() + 0x7FC, std::uint32_t{0}));
}

Bytes Empty_Bank1() {
    Bytes b(2048, 0);
    Put_U32(b, 0x000, 250000);
    Put_U32(b, 0x004, 250000);
    Put_U32(b, 0x00C, 9600);
    Put_U16(b, 0x034, 10000);
    Put_U16(b, 0x036, 10001);
    Put_U16(b, 0x038, 10001);
    for (std::size_t i = 0x1B4; i <= 0x1BB; ++i) b[i] = 8;
    const std::uint8_t server[] = {192, 168, 2, 205, 255, 255, 255, 0, 255, 255, 255, 255};
    std::copy(std::begin(server), std::end(server), b.begin() + 0x028);
    Put_U32(b, 0x5E8, 0xA0400);
    Put_U32(b, 0x654, 0x80000);
    Seal_Bank1(b);
    return b;
}

Bytes Bank2_With(const std::vector<Rule_Fixture>& rules) {
    Bytes b(28672, 0);
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const auto& r = rules[i];
        const std::size_t at = i * 28;
        Put_U32(b, at + 0, r.address);
        Put_U32(b, at + 4, r.poll);
        Put_U16(b, at + 8, r.plc_add);
        Put_U16(b, at + 10, r.db);
        Put_U16(b, at + 12, r.port);
        Put_U16(b, at + 14, r.position);
        b[at + 18] = r.bit;
        b[at + 19] = r.plc_type;
        b[at + 20] = r.data_type;
        b[at + 21] = r.identifier;
        b[at + 23] = r.flags;
        b[at + 24] = r.plc_bit;
        b[at + 25] = r.area;
        b[at + 26] = r.rack_slot;
    }
    return b;
}

Bytes Make_Bank3(const Area_Fixture& a) {
    constexpr std::uint32_t B = 0xA0400;
    const bool known = a.tls == 1;
    const std::uint32_t n = known ? static_cast<std::uint32_t>(a.known.size()) : 0;
    const std::uint32_t v = static_cast<std::uint32_t>(a.vars.size());
    const std::uint32_t H = 54 + 8 * n;
    const std::uint32_t M = H + 32 * v;
    const std::uint32_t E = B + M;
    std::uint32_t P = M + 1;
    std::string pool;
    // Places a string at the next pool position; `none` is the address of an empty one.
    auto place = [&](const std::string& s, std::uint32_t none) {
        if (s.empty()) return none;
        const std::uint32_t address = B + P;
        pool += s;
        pool += '\0';
        P += static_cast<std::uint32_t>(s.size()) + 1;
        return address;
    };

    Bytes b(1024 + H + 32 * v + 1, 0);
    for (std::size_t i = 0; i < a.ntp.size() && i < 1024; ++i) b[i] = static_cast<std::uint8_t>(a.ntp[i]);
    const std::uint32_t key_add = place(a.key, E);
    const std::uint32_t key_pw_add = place(a.key_password, 0);
    const std::uint32_t server_add = place(a.server_cert, E);
    const std::uint32_t root_add = place(a.root_cert, E);
    const std::uint32_t password_add = place(a.password, 0);
    const std::size_t h = 1024;
    Put_U16(b, h + 0, a.port);
    Put_U32(b, h + 2, a.tls);
    Put_U32(b, h + 6, key_add);
    Put_U32(b, h + 10, static_cast<std::uint32_t>(a.key.size()));
    Put_U32(b, h + 14, key_pw_add);
    Put_U32(b, h + 18, server_add);
    Put_U32(b, h + 22, static_cast<std::uint32_t>(a.server_cert.size()));
    Put_U32(b, h + 26, root_add);
    Put_U32(b, h + 30, static_cast<std::uint32_t>(a.root_cert.size()));
    Put_U32(b, h + 34, n);
    Put_U32(b, h + 38, B + 54);
    Put_U32(b, h + 42, password_add);
    Put_U32(b, h + 46, v);
    Put_U32(b, h + 50, B + H);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t address = B + P;
        place(a.known[i], 0);
        Put_U32(b, h + 54 + 8 * i, address);
        Put_U32(b, h + 58 + 8 * i, static_cast<std::uint32_t>(a.known[i].size()));
    }
    for (std::uint32_t i = 0; i < v; ++i) {
        const auto& var = a.vars[i];
        const std::size_t at = h + H + 32 * i;
        const std::uint32_t address = B + P;
        place(var.name, 0);
        Put_U32(b, at + 0, address);
        Put_U32(b, at + 4, var.type);
        Put_U32(b, at + 8, var.position);
        Put_U32(b, at + 12, var.start_bit);
        Put_U32(b, at + 16, var.length);
        Put_U32(b, at + 20, var.read_only);
        Put_U32(b, at + 24, std::bit_cast<std::uint32_t>(var.factor));
        Put_U16(b, at + 28, var.operation);
        Put_U16(b, at + 30, var.options);
    }
    b.insert(b.end(), pool.begin(), pool.end());
    return b;
}

Area_Fixture Full_Area() {
    Area_Fixture a;
    a.ntp = "pool.ntp.example";
    a.port = 8102;
    a.tls = 1;
    a.key = "-----BEGIN KEY-----\nQUJD\n-----END KEY-----";
    a.key_password = "secret";
    a.server_cert = "SERVER CERT \xC3\xA9";
    a.root_cert = "ROOT";
    a.password = "pw\xE9"; // one byte per character, as the device stores it
    a.known = {"CLIENT ONE", "CLIENT TWO"};
    a.vars = {{"LLN0.Mod", 4, 0, 0, 2, 1, 1.0F, 0, 0},
              {"Temp\xB0", 6, 4, 0, 4, 0, 0.5F, 1, 1},
              {"Alarm", 2, 8, 5, 1, 0, 1.0F, 0, 3}};
    return a;
}

} // namespace qm::test
