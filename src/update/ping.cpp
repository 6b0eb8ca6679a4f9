#include "update/ping.h"

#include "common/conversions.h"

#include <algorithm>

namespace qm {

Ping_Clock Steady_Ping_Clock() {
    return [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
}

namespace {

Ping_Result Failure(Ping_Result result, const Echo_Result& echo) {
    result.outcome = echo.status == Echo_Status::Not_Permitted ? Ping_Outcome::Not_Permitted : Ping_Outcome::Failed;
    result.message = echo.message;
    return result;
}

} // namespace

Ping_Result Send_Ping(std::string_view target, Echo_Transport& transport, const Ping_Clock& clock,
                      const Ping_Idle& idle, const Ping_Timing& timing) {
    Ping_Result result;
    const std::int64_t t0 = clock();

    // Only a dotted IPv4 address is a target: a name would be resolved and could lead anywhere.
    const Ip_Bytes address = Split_IP_Address(target);
    if (address.bad) {
        result.outcome = Ping_Outcome::Bad_Address;
        return result;
    }

    const std::int64_t reply_timeout = timing.Reply_Timeout.count();
    int answers = 0;
    for (;;) {
        const std::int64_t t1 = clock();
        const Echo_Result sent = transport.Send(address.bytes, target);
        ++result.requests;
        if (sent.status != Echo_Status::Ok) {
            return Failure(result, sent);
        }
        // Wait for the answer in short slices so the window keeps handling its messages.
        for (;;) {
            const std::int64_t left = reply_timeout - (clock() - t1);
            if (left <= 0) {
                result.ping_res = Ping_Timed_Out;
                break;
            }
            const Echo_Result reply = transport.Wait_Reply(
                std::chrono::milliseconds(std::min<std::int64_t>(left, timing.Slice.count())));
            if (reply.status != Echo_Status::Ok) {
                return Failure(result, reply);
            }
            if (reply.bytes > 0) {
                result.ping_res = Ping_Answered;
                break;
            }
            if (idle && !idle()) {
                result.outcome = Ping_Outcome::Cancelled;
                return result;
            }
        }
        if (result.ping_res == Ping_Answered && ++answers >= timing.Answers_Needed) {
            break;
        }
        if (clock() - t0 > timing.Total.count()) {
            break;
        }
    }
    result.outcome = result.ping_res == Ping_Answered ? Ping_Outcome::Answered : Ping_Outcome::No_Answer;
    return result;
}

} // namespace qm
