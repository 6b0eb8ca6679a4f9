// Packets from the network as the device check receives them: any bytes, both socket kinds.

#include <cstdint>

#include "fuzz_support.h"
#include "update/icmp_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using qm::fuzz::Require;
    if (size < 3) {
        return 0;
    }
    const qm::Echo_Match match{(data[0] & 1) != 0, (data[0] & 2) != 0,
                               static_cast<std::uint16_t>(data[1] << 8 | data[2])};
    const std::array<std::uint8_t, 4> target{127, 0, 0, 1};
    // A heap copy of exactly the packet, so that any read past its end is caught.
    const std::vector<std::uint8_t> packet(data + 3, data + size);
    const std::size_t accepted = qm::Accept_Echo_Reply(packet.data(), packet.size(), target, target, match);
    Require(accepted == 0 || (accepted >= 8 && accepted <= packet.size()), "accepted size out of range");
    if (accepted > 0) {
        const std::uint8_t* icmp = packet.data() + (packet.size() - accepted);
        Require(icmp[0] == 0 && icmp[1] == 0, "accepted a packet that is not an echo reply");
    }
    const std::array<std::uint8_t, 4> other{127, 0, 0, 2};
    Require(qm::Accept_Echo_Reply(packet.data(), packet.size(), other, target, match) == 0,
            "accepted an answer from another address");
    return 0;
}
