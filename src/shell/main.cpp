#include <QApplication>

#include "common/file_io.h"
#include "shell/main_window.h"
#include "shell/program_windows.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    // The main window comes first: it loads the settings and the texts every other window uses.
    qm::gui::Main_Window main_window(qm::Program_Dir());
    qm::gui::Create_Program_Windows(main_window);

    main_window.show();
    return QApplication::exec();
}
