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

Title_Area Add_Title_Area(QWidget* window, QBoxLayout* layout) {
    Title_Area title;
    auto* row = new QHBoxLayout;
    title.L_SW_Code = new QLabel(QString::fromUtf8(SW_Code), window);
    title.L_SW_Code->setObjectName(QStringLiteral("L_SW_Code"));
    QFont bold = title.L_SW_Code->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    title.L_SW_Code->setFont(bold);
    title.L_SW_Desc = new QLabel(window);
    title.L_SW_Desc->setObjectName(QStringLiteral("L_SW_Desc"));
    title.L_SW_Desc->setFont(bold);
    row->addWidget(title.L_SW_Code);
    row->addSpacing(24);
    row->addWidget(title.L_SW_Desc);
    row->addStretch(1);
    layout->addLayout(row);
    return title;
}

Table_Buttons Add_Button_Bar(QWidget* window, QBoxLayout* layout) {
    Table_Buttons b;
    auto make = [window](const char* name) {
        auto* button = new QPushButton(window);
        button->setObjectName(QString::fromUtf8(name));
        button->setAutoDefault(false);
        button->setMinimumWidth(100);
        return button;
    };
    b.Btn_OK = make("Btn_OK");
    b.Btn_Cancel = make("Btn_Cancel");
    b.Btn_Delete_Row = make("Btn_Delete_Row");
    b.Btn_Insert_Row = make("Btn_Insert_Row");
    b.Btn_Copy_Row = make("Btn_Copy_Row");
    b.Btn_Paste_Row = make("Btn_Paste_Row");
    auto* row = new QHBoxLayout;
    row->addWidget(b.Btn_OK);
    row->addWidget(b.Btn_Cancel);
    row->addStretch(1);
    row->addWidget(b.Btn_Delete_Row);
    row->addWidget(b.Btn_Insert_Row);
    row->addWidget(b.Btn_Copy_Row);
    row->addWidget(b.Btn_Paste_Row);
    layout->addLayout(row);
    return b;
}

void Set_Button_Texts(const Table_Buttons& b, int first_caption, int first_hint) {
    QPushButton* const buttons[] = {b.Btn_OK,         b.Btn_Cancel,   b.Btn_Delete_Row,
                                    b.Btn_Insert_Row, b.Btn_Copy_Row, b.Btn_Paste_Row};
    int i = 0;
    for (QPushButton* button : buttons) {
        button->setText(Lang_Q(first_caption + i));
        button->setToolTip(Lang_Q(first_hint + i));
        ++i;
    }
}

Grid_Prompts Message_Prompts(QWidget* parent) {
    return {[parent](const std::string& text) { Show_Error(parent, To_Q(text)); },
            [parent](const std::string& text) { return Ask_Yes_No(parent, To_Q(text)); }};
}

bool Ask_And_Delete_Row(QWidget* parent, Grid_View* table, int question_entry) {
    table->Commit_Edit();
    const int row = table->Current_Row();
    if (!table->grid().Is_Data_Row(row)) {
        return false;
    }
    if (!Ask_Yes_No(parent, Lang_Q(question_entry) + QString::number(row))) {
        return false;
    }
    return table->Delete_Row();
}

void Fit_Width_To_Table(QWidget* window, const Grid_View* table) {
    int columns = 0;
    for (int c = 0; c < table->model()->columnCount(); ++c) {
        columns += table->columnWidth(c);
    }
    int chrome = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    if (const QLayout* layout = window->layout()) {
        const QMargins margins = layout->contentsMargins();
        chrome += margins.left() + margins.right();
    }
    int needed = columns + chrome;
    if (const QScreen* screen = window->screen()) {
        needed = std::min(needed, screen->availableGeometry().width());
    }
    if (needed > window->width()) {
        window->resize(needed, window->height());
    }
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
    const Title_Area title = Add_Title_Area(this, layout);
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;
    layout->addWidget(body, 1);

    const Table_Buttons buttons = Add_Button_Bar(this, layout);
    Btn_OK = buttons.Btn_OK;
    Btn_Cancel = buttons.Btn_Cancel;
    Btn_Delete_Row = buttons.Btn_Delete_Row;
    Btn_Insert_Row = buttons.Btn_Insert_Row;
    Btn_Copy_Row = buttons.Btn_Copy_Row;
    Btn_Paste_Row = buttons.Btn_Paste_Row;
    connect(Btn_OK, &QPushButton::clicked, this, &Grid_Window::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Btn_Delete_Row, &QPushButton::clicked, this,
            [this] { Ask_And_Delete_Row(this, Shown_Table(), texts_.delete_question); });
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
        Fit_Width_To_Table(this, Tables().front());
    }
}

void Grid_Window::Set_Lang() {
    setWindowTitle(Lang_Q(texts_.title));
    L_SW_Desc->setText(Lang_Q(texts_.description));
    Set_Button_Texts({Btn_OK, Btn_Cancel, Btn_Delete_Row, Btn_Insert_Row, Btn_Copy_Row, Btn_Paste_Row},
                     texts_.first_caption, texts_.first_hint);
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
