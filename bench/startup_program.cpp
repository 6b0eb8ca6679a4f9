// The program's child of `startup_bench --ratio`: starts up as main.cpp does, then reports as the
// bare window does. A program of its own, linked as the configurator is (without the benchmark
// library), so that its memory is the configurator's.
//
// Usage: startup_program <program folder> <fd>

#include <QApplication>

#include <cstdlib>
#include <memory>

#include "common/app_state.h"
#include "shell/main_window.h"
#include "shell/program_windows.h"
#include "startup_child.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    const int fd = std::atoi(argv[2]);
    int qt_argc = 1;
    QApplication app(qt_argc, argv);
    auto main_window = std::make_unique<qm::gui::Main_Window>(argv[1]);
    qm::gui::Create_Program_Windows(*main_window);
    main_window->show();
    const bool shown = qm::bench::Wait_Exposed(*main_window);
    main_window.release(); // ended by _exit, as a process's end would
    qm::bench::Report_And_Exit(shown, fd);
}
