#include "review/gui/compare_window.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/app_state.h"
#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "common/gui/window_look.h"
#include "language/lang_table.h"
#include "review/config_diff.h"
#include "review/review_texts.h"

namespace qm::gui {

namespace rt = review_text;

Compare_Window::Compare_Window(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Compare_Window"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    Apply_Form_Look(this);
    auto* layout = new QVBoxLayout(this);
    L_Heading = new QLabel(this);
    L_Heading->setObjectName(QStringLiteral("L_Heading"));
    QFont bold = L_Heading->font();
    bold.setBold(true);
    L_Heading->setFont(bold);
    L_Heading->setWordWrap(true);
    Tree_Lines = new QTreeWidget(this);
    Tree_Lines->setObjectName(QStringLiteral("Tree_Lines"));
    Tree_Lines->setHeaderHidden(true);
    Tree_Lines->setColumnCount(1);
    Tree_Lines->setUniformRowHeights(true);
    Tree_Lines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Tree_Lines->setTextElideMode(Qt::ElideMiddle);
    Tree_Lines->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Tree_Lines->header()->setStretchLastSection(false);
    L_Summary = new QLabel(this);
    L_Summary->setObjectName(QStringLiteral("L_Summary"));
    L_Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Btn_Close = new QPushButton(this);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    Btn_Close->setIcon(Style_Icon(Btn_Close, QStyle::SP_DialogCloseButton, QStyle::SP_DialogCancelButton));
    Btn_Close->setAutoDefault(false);
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout();
    bottom->addWidget(L_Summary, 1);
    bottom->addWidget(Btn_Close);
    layout->addWidget(L_Heading);
    layout->addWidget(Tree_Lines, 1);
    layout->addLayout(bottom);
    resize(820, 480);
    Set_Lang();
}

void Compare_Window::Set_Lang() {
    setWindowTitle(Qt_Text(Lang(rt::Compare_Title)));
    Btn_Close->setText(Qt_Text(Lang(rt::Close)));
}

void Compare_Window::Show_Diff(const std::string& heading, const Diff_Result& result,
                               const std::vector<std::string>& warnings) {
    Set_Lang();
    L_Heading->setText(Qt_Text(heading));
    Tree_Lines->clear();
    for (const Diff_Group& group : result.groups) {
        auto* file = new QTreeWidgetItem(Tree_Lines, {Qt_Text(group.title + ": " + std::to_string(group.lines.size()) +
                                                              Lang(group.lines.size() == 1 ? rt::Group_Line
                                                                                           : rt::Group_Lines))});
        QFont bold = file->font(0);
        bold.setBold(true);
        file->setFont(0, bold);
        for (const Diff_Line& line : group.lines) {
            auto* item = new QTreeWidgetItem(file, {Qt_Text(line.text)});
            item->setToolTip(0, item->text(0));
            if (line.kind == Change_Kind::Added) item->setForeground(0, QColor(0, 110, 0));
            if (line.kind == Change_Kind::Removed) item->setForeground(0, QColor(170, 0, 0));
        }
        file->setExpanded(true);
    }
    for (const std::string& warning : warnings) {
        auto* item = new QTreeWidgetItem(Tree_Lines, {Qt_Text(Lang(rt::Warning) + warning)});
        item->setToolTip(0, item->text(0));
        item->setForeground(0, QColor(140, 90, 0));
    }
    L_Summary->setText(Qt_Text(result.Summary()));
}

void Compare_With_Open(QWidget* parent, Compare_Window& window, const std::string& selected) {
    const App_State& state = State();
    if (state.Project.Project_Dir.empty()) {
        Show_Information(parent, Qt_Text(Lang(rt::Open_First)));
        return;
    }
    if (selected.empty()) return;
    const std::string other = Path_Join(state.Paths.Projects_Dir, selected);
    if (other == state.Project.Project_Dir) {
        Show_Information(parent, Qt_Text(Lang(rt::Compare_Same)));
        return;
    }
    const Configuration_Files a = Read_Configuration(state.Project.Project_Dir);
    const Configuration_Files b = Read_Configuration(other);
    std::string problems;
    for (const Configuration_Files* files : {&a, &b}) {
        for (const std::string& problem : files->problems) problems += problem + "\n";
    }
    if (!problems.empty()) {
        Show_Error(parent, Qt_Text(problems));
        return;
    }
    std::vector<std::string> warnings;
    for (const Configuration_Files* files : {&a, &b}) {
        for (const std::string& problem : files->window_problems) warnings.push_back(Lang(rt::Window_Reads) + problem);
        warnings.insert(warnings.end(), files->warnings.begin(), files->warnings.end());
    }
    // The open configuration is side A, the older one: each line reads "old -> new".
    window.Show_Diff(state.Settings.Project_Name + " (" + Lang(rt::Older) + ") \u2192 " + selected + " (" +
                         Lang(rt::Newer) + ")",
                     Diff_Configurations(a, b), warnings);
    window.exec();
}

namespace {

constexpr const char* Button_Name = "Btn_Compare";

// Keeps the button at the left of the strip, and out of the way of OK when the window is narrow.
class Strip_Watcher : public QObject {
public:
    Strip_Watcher(QWidget* strip, QPushButton* button)
        : QObject(button), ok_(strip->findChild<QWidget*>(QStringLiteral("Btn_OK"))), button_(button) {
        // OK moves after the strip is resized, so its moves are what count.
        if (ok_ != nullptr) ok_->installEventFilter(this);
        Place();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == ok_ && (event->type() == QEvent::Move || event->type() == QEvent::Show)) Place();
        return false;
    }

private:
    void Place() {
        button_->move(8, 6);
        button_->setHidden(ok_ != nullptr && button_->x() + button_->width() + 6 > ok_->x());
    }

    QWidget* ok_;
    QPushButton* button_;
};

} // namespace

QPushButton* Add_Compare_Button(QDialog* open_conf_window, QWidget* button_panel,
                                std::function<std::string()> selected) {
    auto* button = new QPushButton(button_panel);
    button->setObjectName(QString::fromUtf8(Button_Name));
    button->resize(105, 28);
    button->setAutoDefault(false);
    new Strip_Watcher(button_panel, button);
    QObject::connect(button, &QPushButton::clicked, open_conf_window, [open_conf_window, selected] {
        // Made on first use, so the program's start-up does not grow.
        auto* window = open_conf_window->findChild<Compare_Window*>();
        if (window == nullptr) window = new Compare_Window(open_conf_window);
        Compare_With_Open(open_conf_window, *window, selected());
    });
    return button;
}

void Compare_Button_Set_Lang(QDialog* open_conf_window) {
    if (auto* button = open_conf_window->findChild<QPushButton*>(QString::fromUtf8(Button_Name))) {
        button->setText(Qt_Text(Lang(rt::Compare_Button)));
        button->setToolTip(Qt_Text(Lang(rt::Compare_Hint)));
    }
}

} // namespace qm::gui
