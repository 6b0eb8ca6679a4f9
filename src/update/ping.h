#pragma once
// The device check of the update window: ICMP echo requests to the typed address until the
// device has answered twice or about 5 seconds have passed.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace qm {

enum class Echo_Status {
    Ok,
    Not_Permitted, // the system does not let this program send ICMP echo
    Failed,        // any other socket or system failure
};

struct Echo_Result {
    Echo_Status status = Echo_Status::Ok;
    std::size_t bytes = 0; // bytes of the answer; 0 when none came
    std::string message;   // reason when status is not Ok
};

// How echo requests travel; the real one is a socket, tests use a fake.
class Echo_Transport {
public:
    virtual ~Echo_Transport() = default;
    // Sends one echo request to the IPv4 address carrying payload as its data.
    virtual Echo_Result Send(const std::array<std::uint8_t, 4>& target, std::string_view payload) = 0;
    // Waits at most max_wait for an echo answer from the target of the last Send.
    // bytes > 0 when one came; other packets are skipped.
    virtual Echo_Result Wait_Reply(std::chrono::milliseconds max_wait) = 0;
};

// The platform's echo: an ICMP datagram socket where the system allows it, else a raw socket,
// IcmpSendEcho2 on Windows. Opening is deferred to the first Send, which reports Not_Permitted.
std::unique_ptr<Echo_Transport> Make_System_Echo_Transport();

// Text telling the user that the device cannot be checked without the right to send ICMP echo,
// and how to grant it to the program at program_path.
std::string Echo_Permission_Help(const std::string& program_path);

// ping_res of the update window.
enum Ping_Res : int {
    Ping_None = 0,     // no answer yet, or the check failed before any answer
    Ping_Answered = 1, // the last request was answered
    Ping_Timed_Out = 2 // the last request got no answer in time
};

enum class Ping_Outcome {
    Answered,      // the device answered the last request
    No_Answer,     // checked for about 5 s; the last request was not answered
    Bad_Address,   // the target text is not a dotted IPv4 address
    Not_Permitted, // the system refused ICMP echo to this program
    Failed,        // the socket failed
    Cancelled,     // the window asked to stop (closed during the check)
};

struct Ping_Result {
    Ping_Outcome outcome = Ping_Outcome::Failed;
    int ping_res = Ping_None;
    int requests = 0;    // echo requests sent
    std::string message; // reason for Not_Permitted and Failed
    bool Answered() const { return outcome == Ping_Outcome::Answered; }
};

struct Ping_Timing {
    std::chrono::milliseconds Reply_Timeout{400};
    std::chrono::milliseconds Total{5000};
    std::chrono::milliseconds Slice{10}; // how long to wait between two calls of the idle handler
    int Answers_Needed = 2;
};

// Milliseconds from an arbitrary start; the real one is a steady clock.
using Ping_Clock = std::function<std::int64_t()>;
Ping_Clock Steady_Ping_Clock();

// Called about every 10 ms while waiting for an answer, so a window can handle its messages;
// returning false stops the check (Cancelled).
using Ping_Idle = std::function<bool()>;

// Checks the device at target (the four field texts joined by "."). Requests follow each other
// until Answers_Needed answers came or more than Total passed since the start; the result is
// the outcome of the last request. Any failure ends the check at once.
Ping_Result Send_Ping(std::string_view target, Echo_Transport& transport, const Ping_Clock& clock,
                      const Ping_Idle& idle, const Ping_Timing& timing = {});

} // namespace qm
