#include "review/gui/report_preview.h"

#include <QEvent>
#include <QFileDialog>
#include <QToolButton>

#include <vector>

#include "common/app_state.h"
#include "common/file_texts.h"
#include "common/gui/message_box.h"
#include "common/gui/window_look.h"
#include "common/module_loader.h"
#include "language/lang_table.h"
#include "review/gui/print_preview_entry.h"
#include "review/gui/report_pdf.h"
#include "review/report.h"
#include "review/review_texts.h"

namespace qm::gui {

namespace rt = review_text;

namespace {

constexpr const char* Button_Name = "Btn_Report";
#ifdef QM_PRINT_PREVIEW_MODULE
constexpr const char* Print_Preview_Module = QM_PRINT_PREVIEW_MODULE;
#else
constexpr const char* Print_Preview_Module = "qm_print_preview";
#endif
// The free space left of Btn_Info (516), with the gap the icon buttons keep between them; and,
// while the new-version link (shown only when a newer version is found) runs into that space,
// under Btn_Info, where nothing of the window ever is.
constexpr QPoint Usual_Place(458, 8);
constexpr QPoint Place_Beside_Link(516, 62);

// Moves the button out of the way of the new-version link and the configuration box, which
// change their size with their texts.
class Place_Keeper : public QObject {
public:
    explicit Place_Keeper(QToolButton* button) : QObject(button), button_(button) {
        for (const char* name : {"LL_Update", "Shape2"}) {
            if (QWidget* other = button->parentWidget()->findChild<QWidget*>(QString::fromUtf8(name))) {
                other->installEventFilter(this);
                others_.push_back(other);
            }
        }
        Place();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        if (type == QEvent::Show || type == QEvent::Hide || type == QEvent::Resize || type == QEvent::Move) Place();
        return false;
    }

private:
    void Place() {
        const QRect usual(Usual_Place, button_->size());
        bool free = true;
        for (const QWidget* other : others_) {
            if (!other->isHidden() && other->geometry().intersects(usual)) free = false;
        }
        button_->move(free ? Usual_Place : Place_Beside_Link);
    }

    QToolButton* button_;
    std::vector<QWidget*> others_;
};

} // namespace

QToolButton* Add_Report_Button(QWidget* main_window) {
    auto* button = new QToolButton(main_window);
    button->setObjectName(QString::fromUtf8(Button_Name));
    button->setGeometry(QRect(Usual_Place, QSize(50, 50)));
    button->setIcon(Style_Icon(button, QStyle::SP_FileDialogContentsView, QStyle::SP_FileIcon));
    button->setIconSize(QSize(32, 32));
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    QObject::connect(button, &QToolButton::clicked, main_window, [main_window] { Show_Report_Preview(main_window); });
    new Place_Keeper(button);
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
        Show_Error(parent, Qt_Text(Lang(file_text::Project_Not_Valid)));
        return;
    }
    // Loaded on the first report: print support and the printing system's libraries behind it
    // are needed by nothing else.
    static Qm_Print_Preview_Function preview = nullptr;
    if (preview == nullptr) {
        std::string why;
        preview = Load_Module_Function<Qm_Print_Preview_Function>(Print_Preview_Module, Qm_Print_Preview_Symbol, why);
        if (preview == nullptr) {
            Show_Error(parent, Qt_Text(Lang(rt::Preview_Not_Loaded) + why));
            return;
        }
    }
    const Report report = Make_Report(folder);

    Qm_Print_Preview_Request request;
    request.parent = parent;
    request.object_name = QStringLiteral("Report_Preview");
    request.window_title = Qt_Text(Lang(rt::Preview_Title) + " - " + report.configuration_name);
    request.document_name = Qt_Text(report.title + " - " + report.configuration_name);
    request.size = QSize(1000, 760);
    request.set_page = [](QPagedPaintDevice& device) { Set_Report_Page(device); };
    request.paint = [&report](QPagedPaintDevice& device) { Paint_Report(report, device); };

    // Saving as PDF without going through the print dialog's choice of printer.
    request.extra_text = Qt_Text(Lang(rt::Save_Pdf));
    request.extra_object_name = QStringLiteral("Save_As_Pdf");
    request.extra_icon = Style_Icon(parent, QStyle::SP_DialogSaveButton, QStyle::SP_DriveFDIcon);
    request.extra_action = [&report, folder](QWidget* owner) {
        // Beside the configuration folders, not among the configuration's own files.
        const auto slash = folder.find_last_of("/\\");
        const std::string projects = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
        const QString suggested = Qt_Text(projects + "/" + report.configuration_name + ".pdf");
        const QString path = QFileDialog::getSaveFileName(owner, Qt_Text(Lang(rt::Save_Pdf)), suggested,
                                                          Qt_Text(Lang(rt::Pdf_Files)));
        if (path.isEmpty()) return;
        const Pdf_Result written = Write_Report_Pdf(report, Utf8(path));
        if (!written.ok) Show_Error(owner, Qt_Text(Lang(rt::Cannot_Write) + written.message));
    };
    preview(&request);
}

} // namespace qm::gui
