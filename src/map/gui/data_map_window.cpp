#include "map/gui/data_map_window.h"

#include <QEvent>
#include <QTabWidget>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <functional>

#include "common/app_state.h"
#include "common/conversions.h"
#include "common/gui/message_box.h"
#include "common/gui/window_look.h"
#include "language/lang_table.h"
#include "map/map_texts.h"
#include "tables/grid_view.h"
#include "tables/iec61850_variables.h"
#include "tables/iec61850_variables_window.h"
#include "tables/s7_protocol.h"
#include "tables/s7_protocol_window.h"

namespace qm::gui {

namespace mt = map_text;

namespace {

constexpr const char* Button_Name = "Btn_Data_Map";
// Left of the report button (458, 8), with the same gap as the icon buttons.
constexpr QPoint Button_Place(400, 8);

} // namespace

QColor Colour_Of(Byte_Kind kind) {
    return QColor(static_cast<QRgb>(Byte_Colour(kind)));
}

Data_Map_Picture::Data_Map_Picture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("I_Map"));
    setMouseTracking(true);
    setFixedSize(sizeHint());
}

QSize Data_Map_Picture::sizeHint() const {
    const int lines = (NByte_IN + Per_Line - 1) / Per_Line;
    return {Per_Line * Cell + 1, lines * Cell + 1};
}

void Data_Map_Picture::Set_Map(const Map_Lists* lists, const Data_Map* map) {
    lists_ = lists;
    map_ = map;
    image_ = QImage(sizeHint(), QImage::Format_RGB32);
    image_.fill(Qt::white);
    QPainter painter(&image_);
    painter.setPen(QColor(0xc8, 0xc8, 0xc8));
    const std::vector<Byte_Use> use = Data_Array_Use(*map);
    for (int b = 0; b < NByte_IN; ++b) {
        const QRect cell((b % Per_Line) * Cell, (b / Per_Line) * Cell, Cell, Cell);
        painter.setBrush(Colour_Of(Kind_Of(use[static_cast<std::size_t>(b)])));
        painter.drawRect(cell);
    }
    update();
}

int Data_Map_Picture::Byte_At(QPoint point) const {
    if (point.x() < 0 || point.y() < 0 || point.x() >= Per_Line * Cell) return -1;
    const int byte = (point.y() / Cell) * Per_Line + point.x() / Cell;
    return byte < NByte_IN ? byte : -1;
}

QString Data_Map_Picture::Byte_Text(int byte) const {
    if (map_ == nullptr || lists_ == nullptr || byte < 0) return {};
    std::string text = Bytes_Text(byte, byte, -1);
    const auto add = [&text](int entry, int row, const Table_Row& cells, int name_column, int bit) {
        text += "\n" + Lang(entry) + std::to_string(row);
        const std::string_view name = Trim(qm::Cell(cells, name_column));
        if (!name.empty()) text += " \"" + std::string(name) + "\"";
        if (bit >= 0) text += Lang(mt::Bit) + std::to_string(bit);
    };
    for (const Map_Span& s : map_->read) {
        if (s.first <= byte && byte <= s.last) {
            add(mt::Read_Rule, s.row, lists_->read[static_cast<std::size_t>(s.row - 1)], S7_Read_Col::Mnemonic, s.bit);
        }
    }
    for (const Map_Span& s : map_->variables) {
        if (s.first <= byte && byte <= s.last) {
            add(mt::Variable, s.row, lists_->variables[static_cast<std::size_t>(s.row - 1)], Var_Col::Name, s.bit);
        }
    }
    return Qt_Text(text);
}

void Data_Map_Picture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

bool Data_Map_Picture::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = Byte_Text(Byte_At(help->pos()));
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QWidget::event(event);
}

Data_Map_Window::Data_Map_Window(const std::string& folder, QWidget* parent)
    : Data_Map_Window(Read_Map_Lists(folder), parent) {}

Data_Map_Window::Data_Map_Window(Map_Lists lists, QWidget* parent)
    : QDialog(parent), lists_(std::move(lists)), map_(Compute_Data_Map(lists_.read, lists_.write, lists_.variables)) {
    setObjectName(QStringLiteral("TFData_Map"));
    setWindowTitle(Qt_Text(Lang(mt::Title)));
    auto* layout = new QVBoxLayout(this);
    I_Map = new Data_Map_Picture(this);
    I_Map->Set_Map(&lists_, &map_);
    layout->addWidget(I_Map);

    auto* legend = new QHBoxLayout();
    for (const auto& [kind, entry] : Legend_Items) {
        auto* swatch = new QLabel(this);
        swatch->setFixedSize(14, 14);
        swatch->setFrameShape(QFrame::Box); // the free colour is close to the window's own
        swatch->setAutoFillBackground(true);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, Colour_Of(kind));
        swatch->setPalette(palette);
        legend->addWidget(swatch);
        legend->addWidget(new QLabel(Qt_Text(Lang(entry)), this));
        legend->addSpacing(10);
    }
    legend->addStretch();
    layout->addLayout(legend);

    layout->addWidget(new QLabel(Qt_Text(map_.findings.empty() ? Lang(mt::No_Findings)
                                                               : Lang(mt::Findings) + std::to_string(map_.findings.size())),
                                 this));
    LB_Findings = new QListWidget(this);
    LB_Findings->setObjectName(QStringLiteral("LB_Findings"));
    const auto add = [this](const std::string& text, Map_List list, int row) {
        auto* item = new QListWidgetItem(Qt_Text(text), LB_Findings);
        item->setData(Qt::UserRole, static_cast<int>(list));
        item->setData(Qt::UserRole + 1, row);
    };
    for (const Map_Finding& f : map_.findings) {
        add(Finding_Line(f, lists_.read, lists_.write, lists_.variables), f.list, f.rows.empty() ? 0 : f.rows.front());
    }
    for (const Map_Note& note : map_.notes) add(Note_Text(note), note.list, note.row);
    connect(LB_Findings, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        emit Row_Chosen(static_cast<Map_List>(item->data(Qt::UserRole).toInt()), item->data(Qt::UserRole + 1).toInt());
    });
    layout->addWidget(LB_Findings);

    auto* close = new QPushButton(Qt_Text(Lang(1564)), this); // "Close"
    close->setObjectName(QStringLiteral("Btn_Close"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

QToolButton* Add_Data_Map_Button(QWidget* main_window) {
    auto* button = new QToolButton(main_window);
    button->setObjectName(QString::fromUtf8(Button_Name));
    button->setGeometry(QRect(Button_Place, QSize(50, 50)));
    button->setIcon(Style_Icon(button, QStyle::SP_FileDialogListView, QStyle::SP_DirIcon));
    button->setIconSize(QSize(32, 32));
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    QObject::connect(button, &QToolButton::clicked, main_window, [main_window] { Show_Data_Map(main_window); });
    return button;
}

void Data_Map_Button_Set_Lang(QWidget* main_window) {
    if (auto* button = main_window->findChild<QToolButton*>(QString::fromUtf8(Button_Name))) {
        button->setToolTip(Qt_Text(Lang(mt::Button_Hint)));
    }
}

namespace {

// The first rows of a grid that a save keeps.
Table_Rows Saved_Part(const Table_Rows& rows, int key_column, int capacity) {
    const auto length = static_cast<std::ptrdiff_t>(List_Length(rows, key_column, capacity));
    return Table_Rows(rows.begin(), rows.begin() + std::min<std::ptrdiff_t>(length, std::ssize(rows)));
}

// The button after Export; its texts follow the language each time the window is shown.
QPushButton* Add_Button_After_Export(Grid_Window* window, std::function<void()> open) {
    auto* button = new QPushButton(window);
    button->setObjectName(QString::fromUtf8(Button_Name));
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, window, std::move(open));
    const std::function<QBoxLayout*(QLayout*)> bar_of = [&](QLayout* layout) -> QBoxLayout* {
        if (layout == nullptr) return nullptr;
        if (auto* box = qobject_cast<QBoxLayout*>(layout); box && box->indexOf(window->Btn_Export) >= 0) return box;
        for (int i = 0; i < layout->count(); ++i) {
            if (QBoxLayout* found = bar_of(layout->itemAt(i)->layout())) return found;
        }
        return nullptr;
    };
    if (QBoxLayout* bar = bar_of(window->layout())) bar->insertWidget(bar->indexOf(window->Btn_Export) + 1, button);
    struct Texts : QObject {
        QPushButton* button;
        explicit Texts(QPushButton* b) : QObject(b), button(b) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show) {
                button->setText(Qt_Text(Lang(mt::Title)));
                button->setToolTip(Qt_Text(Lang(mt::Button_Hint)));
            }
            return false;
        }
    };
    window->installEventFilter(new Texts(button));
    button->setText(Qt_Text(Lang(mt::Title)));
    return button;
}

// Shows the map over the window; a chosen row of the window's own list is selected there.
void Show_Over(QWidget* window, Map_Lists lists, const std::function<void(Map_List, int)>& select) {
    Data_Map_Window map(std::move(lists), window);
    QObject::connect(&map, &Data_Map_Window::Row_Chosen, &map, [&map, &select](Map_List list, int row) {
        select(list, row);
        map.accept();
    });
    map.exec();
}

} // namespace

QPushButton* Add_Data_Map_Button(S7_Protocol_Window* w) {
    return Add_Button_After_Export(w, [w] {
        Map_Lists lists = Read_Map_Lists(State().Project.Project_Dir);
        lists.read = Saved_Part(w->ACG_S7_Read->Rows(), S7_Read_Col::PLC_Address, S7_Rows);
        lists.write = Saved_Part(w->ACG_S7_Write->Rows(), S7_Write_Col::PLC_Address, S7_Rows);
        Show_Over(w, std::move(lists), [w](Map_List list, int row) {
            if (list == Map_List::Variables) return;
            const bool read = list == Map_List::S7_Read;
            w->PageControl1->setCurrentWidget(read ? w->TS_S7_Read : w->TS_S7_Write);
            (read ? w->ACG_S7_Read : w->ACG_S7_Write)
                ->Set_Current_Cell(read ? int{S7_Read_Col::Position} : int{S7_Write_Col::Position}, row);
        });
    });
}

QPushButton* Add_Data_Map_Button(IEC61850_Variables_Window* w) {
    return Add_Button_After_Export(w, [w] {
        Map_Lists lists = Read_Map_Lists(State().Project.Project_Dir);
        lists.variables = Saved_Part(w->ACG->Rows(), Var_Col::Name, Variable_Rows);
        Show_Over(w, std::move(lists), [w](Map_List list, int row) {
            if (list == Map_List::Variables) w->ACG->Set_Current_Cell(Var_Col::Position, row);
        });
    });
}

void Show_Data_Map(QWidget* parent) {
    const std::string folder = State().Project.Project_Dir;
    if (folder.empty()) {
        Show_Error(parent, Qt_Text(Lang(18)));
        return;
    }
    const Map_Lists lists = Read_Map_Lists(folder);
    if (!lists.problems.empty()) {
        std::string text;
        for (const std::string& problem : lists.problems) text += (text.empty() ? "" : "\n") + problem;
        Show_Error(parent, Qt_Text(text));
        return;
    }
    Data_Map_Window window(folder, parent);
    window.exec();
}

} // namespace qm::gui
