#pragma once
// What both children of `startup_bench --ratio` do once their window is made: wait until it is on
// screen, tell the parent at once (it takes the time), let the event loop settle and report the
// resident memory then. Header-only, so that the bare window's program links Qt Widgets alone.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace qm::bench {

// Processes events until the window is on screen (mapped by the display), for at most 5 s.
inline bool Wait_Exposed(QWidget& window) {
    QElapsedTimer clock;
    clock.start();
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
        if (clock.elapsed() > 5000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QCoreApplication::processEvents(); // the first paint
    return true;
}

// VmRSS of this process, in KiB; 0 when unknown.
inline long Resident_Kib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return 0;
}

// With QM_STARTUP_SMAPS set: where the resident memory is, by mapped file (the largest 25), on
// standard error. It is how one finds which library a start-up loads for nothing.
inline void Print_Resident_By_File() {
    std::ifstream smaps("/proc/self/smaps");
    std::map<std::string, long> by_file;
    std::string line, current;
    while (std::getline(smaps, line)) {
        if (line.rfind("Rss:", 0) == 0) {
            by_file[current] += std::atol(line.c_str() + 4);
        } else if (!line.empty() && std::isxdigit(static_cast<unsigned char>(line[0])) && line.find('-') != std::string::npos &&
                   line.find(':') > line.find(' ')) {
            // "start-end perms offset dev inode [path]"
            std::size_t field = 0, at = 0;
            while (field < 5 && at != std::string::npos) {
                at = line.find_first_not_of(' ', line.find(' ', at));
                ++field;
            }
            current = at == std::string::npos ? "[anonymous]" : line.substr(at);
            if (const auto slash = current.rfind('/'); slash != std::string::npos) current = current.substr(slash + 1);
        }
    }
    std::vector<std::pair<long, std::string>> sorted;
    for (const auto& [file, kib] : by_file) sorted.emplace_back(kib, file);
    std::sort(sorted.rbegin(), sorted.rend());
    for (std::size_t i = 0; i < sorted.size() && i < 25; ++i) {
        std::fprintf(stderr, "%8ld KiB  %s\n", sorted[i].first, sorted[i].second.c_str());
    }
}

// 'y' (or 'n') the moment the window is on screen; then, after 500 ms of an idle event loop,
// the resident memory in KiB as text. Ends the process without tearing anything down.
[[noreturn]] inline void Report_And_Exit(bool shown, int fd) {
    const char byte = shown ? 'y' : 'n';
    [[maybe_unused]] ssize_t n = ::write(fd, &byte, 1);
    if (shown) {
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 500) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            ::usleep(10000);
        }
        if (std::getenv("QM_STARTUP_SMAPS") != nullptr) Print_Resident_By_File();
        const std::string rss = std::to_string(Resident_Kib());
        n = ::write(fd, rss.data(), rss.size());
    }
    ::_exit(shown ? 0 : 1);
}

} // namespace qm::bench
