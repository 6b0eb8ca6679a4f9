#include <QApplication>
#include <QMainWindow>

#include "shell/app_state.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8(qm::Main_Window_Title));
    window.show();
    return QApplication::exec();
}
