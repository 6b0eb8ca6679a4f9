#pragma once
// Starts an external program and waits a limited time for it: on Windows through the shell's
// default verb, so that a program asking for elevation gets its prompt; elsewhere directly, with
// no shell in between that could reinterpret the arguments.

#include <string>
#include <vector>

namespace qm {

constexpr int Start_Program_Limit_Ms = 150000;

struct Program_Run {
    bool started = false; // false when the program could not be started at all
    bool ended = false;   // false when it was still running at the limit and was left running
    int exit_code = -1;   // meaningful only when ended; 128 + signal for a program killed by a signal
};

// Runs program with these arguments, hidden or in a normal window, and polls every 10 ms for
// its end, blocking the caller for at most limit_ms. A program that cannot start returns at once.
Program_Run Start_Program(const std::string& program, const std::vector<std::string>& arguments, bool hidden,
                          int limit_ms = Start_Program_Limit_Ms);

} // namespace qm
