// The system's ICMP echo behind Echo_Transport. Linux (and other POSIX systems) use a socket,
// Windows uses the ICMP helper API, which needs no special right.

#include "update/icmp_packet.h"
#include "language/lang_table.h"
#include "update/ping.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <icmpapi.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace qm {

std::uint16_t Icmp_Checksum(const std::uint8_t* data, std::size_t size) {
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < size; i += 2) {
        sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
    }
    if (i < size) {
        sum += static_cast<std::uint32_t>(data[i] << 8);
    }
    while (sum >> 16) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

std::vector<std::uint8_t> Build_Echo_Request(std::uint16_t identifier, std::uint16_t sequence,
                                             std::string_view payload) {
    std::vector<std::uint8_t> packet(8 + payload.size());
    packet[0] = 8; // echo request
    packet[1] = 0;
    packet[4] = static_cast<std::uint8_t>(identifier >> 8);
    packet[5] = static_cast<std::uint8_t>(identifier);
    packet[6] = static_cast<std::uint8_t>(sequence >> 8);
    packet[7] = static_cast<std::uint8_t>(sequence);
    if (!payload.empty()) {
        std::memcpy(packet.data() + 8, payload.data(), payload.size());
    }
    const std::uint16_t sum = Icmp_Checksum(packet.data(), packet.size());
    packet[2] = static_cast<std::uint8_t>(sum >> 8);
    packet[3] = static_cast<std::uint8_t>(sum);
    return packet;
}

std::size_t Accept_Echo_Reply(const std::uint8_t* packet, std::size_t size,
                              const std::array<std::uint8_t, 4>& source,
                              const std::array<std::uint8_t, 4>& target, const Echo_Match& match) {
    if (source != target) {
        return 0;
    }
    std::size_t offset = 0;
    if (match.with_ip_header) {
        if (size < 20 || (packet[0] >> 4) != 4) {
            return 0;
        }
        offset = static_cast<std::size_t>(packet[0] & 0x0F) * 4;
        if (offset < 20 || size < offset) {
            return 0;
        }
    }
    if (size - offset < 8) {
        return 0;
    }
    const std::uint8_t* icmp = packet + offset;
    if (icmp[0] != 0 || icmp[1] != 0) { // echo reply, code 0
        return 0;
    }
    if (match.check_identifier) {
        const auto identifier = static_cast<std::uint16_t>(icmp[4] << 8 | icmp[5]);
        if (identifier != match.identifier) {
            return 0;
        }
    }
    return size - offset;
}

#ifdef _WIN32

namespace {

std::string Windows_Error_Text(DWORD error) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n > 0 && text ? std::string(text, n) : Lang(113) + std::to_string(error);
    if (text) {
        LocalFree(text);
    }
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

// IcmpSendEcho2 with an event, so that waiting for the answer can be done in slices.
class Windows_Echo final : public Echo_Transport {
public:
    Windows_Echo() = default;
    Windows_Echo(const Windows_Echo&) = delete;
    Windows_Echo& operator=(const Windows_Echo&) = delete;
    ~Windows_Echo() override {
        Finish_Pending();
        if (event_) {
            CloseHandle(event_);
        }
        if (icmp_ != INVALID_HANDLE_VALUE) {
            IcmpCloseHandle(icmp_);
        }
    }

    Echo_Result Send(const std::array<std::uint8_t, 4>& target, std::string_view payload) override {
        if (icmp_ == INVALID_HANDLE_VALUE) {
            icmp_ = IcmpCreateFile();
            if (icmp_ == INVALID_HANDLE_VALUE) {
                return {Echo_Status::Failed, 0, Windows_Error_Text(GetLastError())};
            }
            event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            if (!event_) {
                return {Echo_Status::Failed, 0, Windows_Error_Text(GetLastError())};
            }
        }
        // The reply buffer belongs to the system until the previous request has ended.
        Finish_Pending();
        ResetEvent(event_);
        payload_.assign(payload.begin(), payload.end());
        reply_.assign(sizeof(ICMP_ECHO_REPLY) + payload_.size() + 8 + 64, 0);
        std::memcpy(&target_, target.data(), 4);
        const DWORD sent = IcmpSendEcho2(icmp_, event_, nullptr, nullptr, target_, payload_.data(),
                                         static_cast<WORD>(payload_.size()), nullptr, reply_.data(),
                                         static_cast<DWORD>(reply_.size()), 400);
        if (sent == 0 && GetLastError() != ERROR_IO_PENDING) {
            return {Echo_Status::Failed, 0, Windows_Error_Text(GetLastError())};
        }
        pending_ = true;
        return {};
    }

    Echo_Result Wait_Reply(std::chrono::milliseconds max_wait) override {
        if (!pending_) {
            Sleep(static_cast<DWORD>(max_wait.count()));
            return {};
        }
        if (WaitForSingleObject(event_, static_cast<DWORD>(max_wait.count())) != WAIT_OBJECT_0) {
            return {};
        }
        pending_ = false;
        if (IcmpParseReplies(reply_.data(), static_cast<DWORD>(reply_.size())) == 0) {
            return {};
        }
        const auto* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(reply_.data());
        if (reply->Status != IP_SUCCESS || reply->Address != target_) {
            return {};
        }
        return {Echo_Status::Ok, sizeof(ICMP_ECHO_REPLY) + reply->DataSize, {}};
    }

private:
    void Finish_Pending() {
        if (pending_) {
            WaitForSingleObject(event_, 2000);
            pending_ = false;
        }
    }

    HANDLE icmp_ = INVALID_HANDLE_VALUE;
    HANDLE event_ = nullptr;
    IPAddr target_ = 0;
    bool pending_ = false;
    std::vector<char> payload_;
    std::vector<unsigned char> reply_;
};

} // namespace

std::unique_ptr<Echo_Transport> Make_System_Echo_Transport() {
    return std::make_unique<Windows_Echo>();
}

std::string Echo_Permission_Help(const std::string& /*program_path*/) {
    return Lang(99);
}

#else

namespace {

std::string Errno_Text(int error) {
    return std::strerror(error);
}

class Socket_Echo final : public Echo_Transport {
public:
    Socket_Echo() = default;
    Socket_Echo(const Socket_Echo&) = delete;
    Socket_Echo& operator=(const Socket_Echo&) = delete;
    ~Socket_Echo() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    Echo_Result Send(const std::array<std::uint8_t, 4>& target, std::string_view payload) override {
        if (fd_ < 0) {
            const Echo_Result opened = Open();
            if (opened.status != Echo_Status::Ok) {
                return opened;
            }
        }
        target_ = target;
        ++sequence_;
        const std::vector<std::uint8_t> packet = Build_Echo_Request(identifier_, sequence_, payload);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        std::memcpy(&to.sin_addr, target.data(), 4);
        for (;;) {
            const ssize_t n = ::sendto(fd_, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                                       sizeof to);
            if (n >= 0) {
                return {};
            }
            if (errno != EINTR) {
                const int error = errno;
                return {Echo_Status::Failed, 0, Lang(111) + Errno_Text(error)};
            }
        }
    }

    Echo_Result Wait_Reply(std::chrono::milliseconds max_wait) override {
        const auto deadline = std::chrono::steady_clock::now() + max_wait;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            const int ready = ::poll(&p, 1, static_cast<int>(std::max<std::int64_t>(0, left.count())));
            if (ready < 0) {
                if (errno == EINTR) {
                    continue;
                }
                const int error = errno;
                return {Echo_Status::Failed, 0, Lang(114) + Errno_Text(error)};
            }
            if (ready == 0) {
                return {};
            }
            std::uint8_t buffer[2048];
            sockaddr_in from{};
            socklen_t from_size = sizeof from;
            const ssize_t n = ::recvfrom(fd_, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from),
                                         &from_size);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                    continue;
                }
                // An ICMP error queued for the socket (e.g. host unreachable) is not an answer.
                if (errno == EHOSTUNREACH || errno == ENETUNREACH || errno == ECONNREFUSED) {
                    continue;
                }
                const int error = errno;
                return {Echo_Status::Failed, 0, Lang(114) + Errno_Text(error)};
            }
            std::array<std::uint8_t, 4> source{};
            std::memcpy(source.data(), &from.sin_addr, 4);
            const std::size_t bytes = Accept_Echo_Reply(buffer, static_cast<std::size_t>(n), source, target_,
                                                        Echo_Match{raw_, raw_, identifier_});
            if (bytes > 0) {
                return {Echo_Status::Ok, bytes, {}};
            }
        }
    }

private:
    Echo_Result Open() {
        // An unprivileged ICMP datagram socket first (allowed by net.ipv4.ping_group_range),
        // then a raw socket, which needs CAP_NET_RAW.
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd_ >= 0) {
            raw_ = false;
            return {};
        }
        const int dgram_error = errno;
        fd_ = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd_ >= 0) {
            raw_ = true;
            // The kernel does not tell raw sockets apart, so our own identifier marks our answers.
            identifier_ = static_cast<std::uint16_t>(::getpid() ^ 0x5A17);
            return {};
        }
        const int raw_error = errno;
        const bool refused = (dgram_error == EACCES || dgram_error == EPERM || dgram_error == EPROTONOSUPPORT) &&
                             (raw_error == EACCES || raw_error == EPERM);
        return {refused ? Echo_Status::Not_Permitted : Echo_Status::Failed, 0,
                Lang(112) + Errno_Text(raw_error)};
    }

    int fd_ = -1;
    bool raw_ = false;
    std::uint16_t identifier_ = 0;
    std::uint16_t sequence_ = 0;
    std::array<std::uint8_t, 4> target_{};
};

} // namespace

std::unique_ptr<Echo_Transport> Make_System_Echo_Transport() {
    return std::make_unique<Socket_Echo>();
}

std::string Echo_Permission_Help(const std::string& program_path) {
    // The commands themselves are not translated: they are typed as they stand.
    return Lang(96) + "\n\n" + Lang(97) + "\n    sudo sysctl -w net.ipv4.ping_group_range=\"0 2147483647\"\n" +
           Lang(98) + "\n    sudo setcap cap_net_raw+ep \"" + program_path + "\"";
}

#endif

} // namespace qm
