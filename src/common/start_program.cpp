#include "common/start_program.h"

#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace qm {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto Poll_Interval = std::chrono::milliseconds(10);

#ifdef _WIN32

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

// Quotes one argument so that the program's own command-line parser gets it back unchanged.
void Append_Quoted(std::wstring& line, const std::wstring& arg) {
    if (!line.empty()) {
        line += L' ';
    }
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += arg;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

#else

// Programs left running at the limit are reaped here later, so that none stays a zombie.
std::vector<pid_t>& Abandoned() {
    static std::vector<pid_t> pids;
    return pids;
}

void Reap_Abandoned() {
    auto& pids = Abandoned();
    std::erase_if(pids, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

#endif

} // namespace

Program_Run Start_Program(const std::string& program, const std::vector<std::string>& arguments, bool hidden,
                          int limit_ms) {
    Program_Run run;
    const auto deadline = Clock::now() + std::chrono::milliseconds(limit_ms < 0 ? 0 : limit_ms);
#ifdef _WIN32
    std::wstring line;
    Append_Quoted(line, Wide(program));
    for (const auto& arg : arguments) {
        Append_Quoted(line, Wide(arg));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(hidden ? SW_HIDE : SW_SHOWNORMAL);
    PROCESS_INFORMATION process{};
    const std::wstring exe = Wide(program);
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return run;
    }
    CloseHandle(process.hThread);
    run.started = true;
    for (;;) {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &code)) {
            run.ended = true;
            run.exit_code = static_cast<int>(code);
            break;
        }
        if (Clock::now() >= deadline) {
            break;
        }
        Sleep(10);
    }
    CloseHandle(process.hProcess);
    return run;
#else
    (void)hidden; // no window to hide on this platform
    Reap_Abandoned();
    std::vector<std::string> args;
    args.reserve(arguments.size() + 1);
    args.push_back(program);
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    // posix_spawn reports a program that cannot be executed as an error, so nothing runs then.
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return run;
    }
    run.started = true;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            run.ended = true;
            run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return run;
        }
        if (done < 0) {
            // Someone else reaped it; it has ended but its code is lost.
            run.ended = true;
            return run;
        }
        if (Clock::now() >= deadline) {
            Abandoned().push_back(pid);
            return run;
        }
        std::this_thread::sleep_for(Poll_Interval);
    }
#endif
}

} // namespace qm
