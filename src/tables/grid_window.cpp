#include "tables/grid_window.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QLayout>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "tables/grid_view.h"

namespace qm::gui {

QString To_Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Lang_Q(int entry) { return To_Q(Lang(entry)); }

QStringList Lang_List(std::initializer_list<int> entries) {
    QStringList texts;
    for (int entry : entries) {
        texts.push_back(Lang_Q(entry));
    }
    return texts;
}

std::vector<std::string> Lang_Texts(std::initializer_list<int> entries) {
    std::vector<std::string> texts;
    for (int entry : entries) {
        texts.push_back(Lang(entry));
    }
    return texts;
}

Grid_Prompts Message_Prompts(QWidget* parent) {
    return {[parent](const std::string& text) { Show_Error(parent, To_Q(text)); },
            [parent](const std::string& text) { return Ask_Yes_No(parent, To_Q(text)); }};
}

void Show_Read_Problems(QWidget* window, const std::string& message) {
    if (message.empty()) {
        return;
    }
    // Queued, so that the box comes up over the window rather than before it.
    QTimer::singleShot(0, window, [window, text = To_Q(message)] { Show_Error(window, text); });
}

Grid_Window::Grid_Window(const char* object_name, Grid_Window_Texts texts, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setObjectName(QString::fromUtf8(object_name));
}

void Grid_Window::Set_Up(QWidget* body, QSize client, bool fit_width) {
    auto* layout = new QVBoxLayout(this);
    Add_Title_Area(layout);
    layout->addWidget(body, 1);
    Add_Button_Bar(layout);
    connect(Btn_OK, &QPushButton::clicked, this, &Grid_Window::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Btn_Delete_Row, &QPushButton::clicked, this, &Grid_Window::Delete_Row);
    connect(Btn_Insert_Row, &QPushButton::clicked, this, [this] { Shown_Table()->Insert_Row(); });
    connect(Btn_Copy_Row, &QPushButton::clicked, this, [this] {
        Grid_View* table = Shown_Table();
        if (!table->Copy_Row()) {
            return;
        }
        for (Grid_View* other : Tables()) {
            Copied_Flag(other) = other == table;
        }
    });
    connect(Btn_Paste_Row, &QPushButton::clicked, this, [this] {
        Grid_View* table = Shown_Table();
        table->Paste_Row(Copied_Flag(table), Message_Prompts(this));
    });

    resize(client);
    Set_Lang();
    if (fit_width) {
        Fit_Width_To_Table();
    }
}

// The software code (L_SW_Code, bold) and the window's description (L_SW_Desc) on one line.
void Grid_Window::Add_Title_Area(QBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    L_SW_Code = new QLabel(QString::fromUtf8(SW_Code), this);
    L_SW_Code->setObjectName(QStringLiteral("L_SW_Code"));
    QFont bold = L_SW_Code->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    L_SW_Code->setFont(bold);
    L_SW_Desc = new QLabel(this);
    L_SW_Desc->setObjectName(QStringLiteral("L_SW_Desc"));
    L_SW_Desc->setFont(bold);
    row->addWidget(L_SW_Code);
    row->addSpacing(24);
    row->addWidget(L_SW_Desc);
    row->addStretch(1);
    layout->addLayout(row);
}

// OK and Cancel at the left, the four row buttons at the right.
void Grid_Window::Add_Button_Bar(QBoxLayout* layout) {
    const auto make = [this](const char* name) {
        auto* button = new QPushButton(this);
        button->setObjectName(QString::fromUtf8(name));
        button->setAutoDefault(false);
        button->setMinimumWidth(100);
        return button;
    };
    Btn_OK = make("Btn_OK");
    Btn_Cancel = make("Btn_Cancel");
    Btn_Delete_Row = make("Btn_Delete_Row");
    Btn_Insert_Row = make("Btn_Insert_Row");
    Btn_Copy_Row = make("Btn_Copy_Row");
    Btn_Paste_Row = make("Btn_Paste_Row");
    auto* row = new QHBoxLayout;
    row->addWidget(Btn_OK);
    row->addWidget(Btn_Cancel);
    row->addStretch(1);
    row->addWidget(Btn_Delete_Row);
    row->addWidget(Btn_Insert_Row);
    row->addWidget(Btn_Copy_Row);
    row->addWidget(Btn_Paste_Row);
    layout->addLayout(row);
}

// Asks the question (entry, then the row number) and deletes on Yes.
void Grid_Window::Delete_Row() {
    Grid_View* table = Shown_Table();
    table->Commit_Edit();
    const int row = table->Current_Row();
    if (!table->grid().Is_Data_Row(row)) {
        return;
    }
    if (Ask_Yes_No(this, Lang_Q(texts_.delete_question) + QString::number(row))) {
        table->Delete_Row();
    }
}

// Widens the window when its table's columns need more room than it has (a translated header,
// say), up to the screen's width; a window whose columns fit keeps its size.
void Grid_Window::Fit_Width_To_Table() {
    const Grid_View* table = Tables().front();
    int columns = 0;
    for (int c = 0; c < table->grid().Col_Count(); ++c) {
        columns += table->columnWidth(c);
    }
    int chrome = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    if (const QLayout* own = layout()) {
        const QMargins margins = own->contentsMargins();
        chrome += margins.left() + margins.right();
    }
    int needed = columns + chrome;
    if (const QScreen* screen = this->screen()) {
        needed = std::min(needed, screen->availableGeometry().width());
    }
    if (needed > width()) {
        resize(needed, height());
    }
}

void Grid_Window::Set_Lang() {
    setWindowTitle(Lang_Q(texts_.title));
    L_SW_Desc->setText(Lang_Q(texts_.description));
    // Captions from six consecutive entries (OK first) and hints from the six that follow them.
    QPushButton* const buttons[] = {Btn_OK, Btn_Cancel, Btn_Delete_Row, Btn_Insert_Row, Btn_Copy_Row, Btn_Paste_Row};
    int i = 0;
    for (QPushButton* button : buttons) {
        button->setText(Lang_Q(texts_.first_caption + i));
        button->setToolTip(Lang_Q(texts_.first_hint + i));
        ++i;
    }
    Set_Table_Texts();
}

void Grid_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void Grid_Window::FormShow() {
    for (Grid_View* table : Tables()) {
        table->Reset_Rows();
        Copied_Flag(table) = false;
    }
    Prepare_Opening();
    file_read_complete_ = true;
    const std::string& path = File_Path();
    if (!path.empty()) {
        const Table_Read_Info info = Load(path);
        file_read_complete_ = info.complete;
        Show_Read_Problems(this, info.Message());
    }
}

void Grid_Window::Btn_OKClick() {
    for (Grid_View* table : Tables()) {
        table->Commit_Edit();
    }
    if (!Controllo_dati()) {
        return;
    }
    const std::string& path = File_Path();
    if (path.empty()) {
        Show_Error(this, Lang_Q(18));
        return;
    }
    const Table_Save_Result saved = Save(path, !file_read_complete_);
    if (!saved.ok) {
        Show_Error(this, To_Q(saved.message));
        return;
    }
    if (!saved.backup_path.empty()) {
        Show_Information(this, To_Q(saved.message));
    }
    accept();
}

} // namespace qm::gui
