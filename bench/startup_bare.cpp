// The bare Qt 6 window that `startup_bench --ratio` measures the program against: a QWidget of
// the main window's size in a program that links Qt Widgets alone.
//   startup_bare <fd>

#include <QApplication>
#include <QWidget>

#include <cstdlib>

#include "startup_child.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const int fd = std::atoi(argv[1]);
    int qt_argc = 1;
    QApplication app(qt_argc, argv);
    QWidget window;
    window.resize(694, 484); // the main window's fixed client size
    window.show();
    qm::bench::Report_And_Exit(qm::bench::Wait_Exposed(window), fd);
}
