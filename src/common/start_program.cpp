#include "common/start_program.h"

#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "common/file_io.h"
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
    // The shell's default verb, as Explorer would start it: an update tool whose manifest asks
    // for administrator rights gets its elevation prompt, which CreateProcess would refuse.
    std::wstring parameters;
    for (const auto& arg : arguments) {
        Append_Quoted(parameters, Utf8_To_Wide(arg));
    }
    const std::wstring file = Utf8_To_Wide(program);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // No error box of the shell's own: a program that cannot start is not reported.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = nullptr;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = hidden ? SW_HIDE : SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        return run;
    }
    run.started = true;
    if (info.hProcess == nullptr) {
        // Handed to a program that was already running (a document, not a program): nothing to wait for.
        return run;
    }
    for (;;) {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(info.hProcess, &code)) {
            run.ended = true;
            run.exit_code = static_cast<int>(code);
            break;
        }
        if (Clock::now() >= deadline) {
            break;
        }
        Sleep(static_cast<DWORD>(Poll_Interval.count()));
    }
    CloseHandle(info.hProcess);
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
