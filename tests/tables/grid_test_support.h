#pragma once
// Helpers of the table window tests.

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QModelIndex>
#include <QPixmap>
#include <QPushButton>
#include <QtTest>

#include <string>
#include <vector>

#include "common/file_io.h"
#include "tables/grid_view.h"
#include "tables/table_model.h"

namespace qm::gui {

// Shows the window as the main window would, which makes it read its file.
inline void Open(QDialog& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        QFAIL("window not exposed");
    }
}

// Types a cell through the model, as an editor would.
inline void Set_Cell(Grid_View* table, int col, int row, const std::string& text) {
    const QModelIndex index = table->Model()->Cell_Index(col, row);
    QVERIFY(table->Model()->setData(index, QString::fromStdString(text), Qt::EditRole));
}

inline void Set_Row(Grid_View* table, int row, const std::vector<std::string>& fields) {
    int col = 1;
    for (const auto& text : fields) {
        Set_Cell(table, col++, row, text);
    }
}

inline std::vector<std::string> Row_Of(const Grid_View* table, int row) {
    return table->Rows().at(static_cast<std::size_t>(row - 1));
}

inline std::string File_Text(const std::string& path) {
    std::string text;
    if (!Read_File(path, text)) {
        return "<unreadable>";
    }
    return text;
}

// With QM_GRAB_DIR set, saves a picture of the window there for a look by eye.
inline void Grab_Window(QWidget& window, const char* name) {
    const QByteArray dir = qgetenv("QM_GRAB_DIR");
    if (dir.isEmpty()) {
        return;
    }
    QCoreApplication::processEvents();
    const QString path = QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromUtf8(name) + QStringLiteral(".png"));
    QVERIFY(window.grab().save(path));
}

} // namespace qm::gui
