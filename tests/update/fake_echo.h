#pragma once
// A scripted echo transport on a fake clock: no packet is sent and no real time passes.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "update/ping.h"

namespace qm::test {

// What happens to one echo request.
struct Echo_Step {
    enum Kind { Reply, Silent, Send_Error, Wait_Error, Refused } kind = Silent;
    std::int64_t delay_ms = 0; // for Reply: time until the answer
};

inline Echo_Step Reply_After(std::int64_t ms) {
    return {Echo_Step::Reply, ms};
}
inline const Echo_Step Silent{Echo_Step::Silent, 0};

struct Fake_Clock {
    std::int64_t now = 1000;
    Ping_Clock Clock() {
        return [this] { return now; };
    }
};

// Requests past the end of the script repeat its last step.
class Fake_Echo final : public Echo_Transport {
public:
    Fake_Echo(Fake_Clock& clock, std::vector<Echo_Step> script) : clock_(clock), script_(std::move(script)) {}

    Echo_Result Send(const std::array<std::uint8_t, 4>& target, std::string_view payload) override {
        targets.push_back(target);
        payloads.emplace_back(payload);
        step_ = script_.empty() ? Silent : script_[std::min(sends_, script_.size() - 1)];
        ++sends_;
        sent_at_ = clock_.now;
        if (step_.kind == Echo_Step::Send_Error) {
            return {Echo_Status::Failed, 0, "fake send failure"};
        }
        if (step_.kind == Echo_Step::Refused) {
            return {Echo_Status::Not_Permitted, 0, "fake refusal"};
        }
        return {};
    }

    Echo_Result Wait_Reply(std::chrono::milliseconds max_wait) override {
        ++waits;
        if (step_.kind == Echo_Step::Wait_Error) {
            return {Echo_Status::Failed, 0, "fake receive failure"};
        }
        if (step_.kind == Echo_Step::Reply && sent_at_ + step_.delay_ms <= clock_.now + max_wait.count()) {
            clock_.now = std::max(clock_.now, sent_at_ + step_.delay_ms);
            step_ = Silent; // one answer per request
            return {Echo_Status::Ok, 21, {}};
        }
        clock_.now += max_wait.count();
        return {};
    }

    std::vector<std::array<std::uint8_t, 4>> targets;
    std::vector<std::string> payloads;
    int waits = 0;

private:
    Fake_Clock& clock_;
    std::vector<Echo_Step> script_;
    Echo_Step step_;
    std::size_t sends_ = 0;
    std::int64_t sent_at_ = 0;
};

} // namespace qm::test
