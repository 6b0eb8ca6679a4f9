#pragma once
// ICMP echo packets as bytes: what the socket transport sends and which answers it accepts.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qm {

// Internet checksum (RFC 1071) of the bytes.
std::uint16_t Icmp_Checksum(const std::uint8_t* data, std::size_t size);

// Echo request: type 8, code 0, checksum, identifier and sequence (big-endian), then the payload.
std::vector<std::uint8_t> Build_Echo_Request(std::uint16_t identifier, std::uint16_t sequence,
                                             std::string_view payload);

struct Echo_Match {
    bool with_ip_header = false;     // raw sockets deliver the IPv4 header, datagram sockets do not
    bool check_identifier = false;   // datagram sockets get only their own identifier from the kernel
    std::uint16_t identifier = 0;
};

// Size of the ICMP message when packet is an echo answer to our request, else 0.
// Only an echo reply counts: a raw socket also sees our own requests on the loopback, other
// programs' answers and error reports such as "destination unreachable", none of which show
// that the device is there. source is the address the packet came from.
std::size_t Accept_Echo_Reply(const std::uint8_t* packet, std::size_t size,
                              const std::array<std::uint8_t, 4>& source,
                              const std::array<std::uint8_t, 4>& target, const Echo_Match& match);

} // namespace qm
