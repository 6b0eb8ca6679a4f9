#include "review/gui/report_preview.h"

#include <QAction>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>
#include <QToolButton>

#include "common/app_state.h"
#include "common/gui/message_box.h"
#include "common/gui/window_look.h"
#include "language/lang_table.h"
#include "review/gui/report_pdf.h"
#include "review/report.h"
#include "review/review_texts.h"

namespace qm::gui {

namespace rt = review_text;

namespace {

constexpr const char* Button_Name = "Btn_Report";
// The free space left of Btn_Info (516), with the gap the icon buttons keep between them.
constexpr int Button_X = 458;

} // namespace

QToolButton* Add_Report_Button(QWidget* main_window) {
    auto* button = new QToolButton(main_window);
    button->setObjectName(QString::fromUtf8(Button_Name));
    button->setGeometry(Button_X, 8, 50, 50);
    button->setIcon(Style_Icon(button, QStyle::SP_FileDialogContentsView, QStyle::SP_FileIcon));
    button->setIconSize(QSize(32, 32));
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    QObject::connect(button, &QToolButton::clicked, main_window, [main_window] { Show_Report_Preview(main_window); });
    return button;
}

void Report_Button_Set_Lang(QWidget* main_window) {
    if (auto* button = main_window->findChild<QToolButton*>(QString::fromUtf8(Button_Name))) {
        button->setToolTip(Qt_Text(Lang(rt::Report_Hint)));
    }
}

void Show_Report_Preview(QWidget* parent) {
    const std::string folder = State().Project.Project_Dir;
    if (folder.empty()) {
        Show_Error(parent, Qt_Text(Lang(18)));
        return;
    }
    const Report report = Make_Report(folder);

    QPrinter printer(QPrinter::HighResolution);
    Set_Report_Page(printer);
    printer.setDocName(Qt_Text(report.title + " - " + report.configuration_name));
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("Report_Preview"));
    preview.setWindowTitle(Qt_Text(Lang(rt::Preview_Title) + " - " + report.configuration_name));
    preview.resize(1000, 760);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&report](QPrinter* device) { Paint_Report(report, *device); });

    // Saving as PDF without going through the print dialog's choice of printer.
    if (auto* toolbar = preview.findChild<QToolBar*>()) {
        toolbar->addSeparator();
        QAction* save = toolbar->addAction(Style_Icon(toolbar, QStyle::SP_DialogSaveButton, QStyle::SP_DriveFDIcon),
                                           Qt_Text(Lang(rt::Save_Pdf)));
        save->setObjectName(QStringLiteral("Save_As_Pdf"));
        save->setToolTip(Qt_Text(Lang(rt::Save_Pdf)));
        QObject::connect(save, &QAction::triggered, &preview, [&preview, &report, folder] {
            const QString suggested = Qt_Text(folder + "/" + report.configuration_name + ".pdf");
            const QString path = QFileDialog::getSaveFileName(&preview, Qt_Text(Lang(rt::Save_Pdf)), suggested,
                                                              Qt_Text(Lang(rt::Pdf_Files)));
            if (path.isEmpty()) return;
            const Pdf_Result written = Write_Report_Pdf(report, Utf8(path));
            if (!written.ok) Show_Error(&preview, Qt_Text(Lang(rt::Cannot_Write) + written.message));
        });
    }
    preview.exec();
}

} // namespace qm::gui
