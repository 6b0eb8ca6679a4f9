#include <QApplication>

#include "common/file_io.h"
#include "shell/main_window.h"
#include "shell/new_project_window.h"
#include "shell/open_conf_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    // The main window comes first: it loads the settings and the texts every other window uses.
    qm::gui::Main_Window main_window(qm::Program_Dir());

    // Created once for the whole run, in this order, each applying its texts as it is made.
    qm::gui::Child_Windows windows;
    auto* new_project = new qm::gui::New_Project_Window(&main_window);
    auto* open_conf = new qm::gui::Open_Conf_Window(&main_window);
    windows.New_Project = new_project;
    windows.Open_Conf = open_conf;
    main_window.Set_Windows(windows);

    main_window.show();
    return QApplication::exec();
}
