#pragma once
// What both children of `startup_bench --ratio` do once their window is made: wait until it is on
// screen, tell the parent at once (it takes the time), let the event loop settle and report the
// resident memory then. Header-only, so that the bare window's program links Qt Widgets alone.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

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
        const std::string rss = std::to_string(Resident_Kib());
        n = ::write(fd, rss.data(), rss.size());
    }
    ::_exit(shown ? 0 : 1);
}

} // namespace qm::bench
