#include "tables/duplicate_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "tables/grid_texts.h"
#include "tables/grid_window.h"

namespace qm::gui {

namespace {

// A line of the dialog that may grow to two lines in a long translation.
QLabel* Make_Line(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setWordWrap(true);
    return label;
}

} // namespace

Duplicate_Dialog::Duplicate_Dialog(const Grid& grid, int row, int key_col, std::vector<Count_Column> columns,
                                   std::vector<int> text_cols, QWidget* parent)
    : QDialog(parent), grid_(grid), row_(row), key_col_(key_col), text_cols_(std::move(text_cols)),
      columns_(std::move(columns)) {
    setObjectName(QStringLiteral("TFDuplicate"));
    setWindowTitle(Lang_Q(1332) + QString::number(row));
    auto* layout = new QVBoxLayout(this);

    auto* copies = new QFormLayout;
    E_Copies = new QSpinBox(this);
    E_Copies->setObjectName(QStringLiteral("E_Copies"));
    E_Copies->setRange(1, std::max(1, Duplicate_Max_Copies(grid, row, key_col)));
    copies->addRow(Lang_Q(1347), E_Copies);
    layout->addLayout(copies);

    if (!columns_.empty()) {
        auto* group = new QGroupBox(Lang_Q(1348), this);
        auto* grid_layout = new QGridLayout(group);
        constexpr int Per_Line = 3; // label and spin box, three columns to a line
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const Count_Column& column = columns_[i];
            auto* spin = new QSpinBox(group);
            spin->setObjectName(QStringLiteral("E_Increment_%1").arg(column.col));
            const int span = column.high - column.low;
            spin->setRange(-span, span);
            spin->setValue(0);
            auto* label = new QLabel(Header(column.col), group);
            label->setBuddy(spin);
            const int line = static_cast<int>(i) / Per_Line;
            const int place = static_cast<int>(i) % Per_Line * 2;
            grid_layout->addWidget(label, line, place);
            grid_layout->addWidget(spin, line, place + 1);
            increments_.push_back(spin);
            connect(spin, &QSpinBox::valueChanged, this, &Duplicate_Dialog::Update);
        }
        layout->addWidget(group);
    }

    // Named by their column titles, as the user sees them in the language in use.
    QStringList counted;
    for (const int col : text_cols_) {
        if (col >= 1 && col < grid.Col_Count() && Ends_In_Number(grid.Text(col, row))) {
            counted.push_back(Header(col));
        }
    }
    L_Mnemonic = Make_Line(this, "L_Mnemonic");
    L_Mnemonic->setText(Lang_Q(grid_text::Counted_Fields) + counted.join(Lang_Q(1354)));
    L_Mnemonic->setVisible(!counted.isEmpty());
    layout->addWidget(L_Mnemonic);
    L_Preview = Make_Line(this, "L_Preview");
    layout->addWidget(L_Preview);
    L_Error = Make_Line(this, "L_Error");
    QPalette error_palette = L_Error->palette();
    error_palette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    L_Error->setPalette(error_palette);
    layout->addWidget(L_Error);

    auto* buttons = new QDialogButtonBox(this);
    Btn_OK = buttons->addButton(Lang_Q(1360), QDialogButtonBox::AcceptRole);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_Cancel = buttons->addButton(Lang_Q(1361), QDialogButtonBox::RejectRole);
    Btn_Cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(E_Copies, &QSpinBox::valueChanged, this, &Duplicate_Dialog::Update);
    Update();
}

QSpinBox* Duplicate_Dialog::Increment_Of(int col) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].col == col) {
            return increments_[i];
        }
    }
    return nullptr;
}

QString Duplicate_Dialog::Header(int col) const { return To_Q(grid_.Text(col, 0)); }

// "Position = 12, PLC Add = 104, Mnemonic = Pump_08": the fields that differ from the row copied.
QString Duplicate_Dialog::Fields_Of(const Row_Cells& copy) const {
    QStringList fields;
    for (int c = 1; c < grid_.Col_Count(); ++c) {
        const std::string& text = copy[static_cast<std::size_t>(c - 1)].text;
        if (text != grid_.Text(c, row_)) {
            fields.push_back(Header(c) + Lang_Q(1353) + To_Q(text));
        }
    }
    if (fields.isEmpty()) {
        return Lang_Q(1355) + QString::number(row_);
    }
    return fields.join(Lang_Q(1354));
}

void Duplicate_Dialog::Update() {
    Duplicate_Request request;
    request.row = row_;
    request.copies = E_Copies->value();
    request.text_cols = text_cols_;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        request.increments.emplace_back(columns_[i].col, increments_[i]->value());
    }
    plan_ = Plan_Duplicate(grid_, request, key_col_, columns_);

    QString error;
    switch (plan_.error) {
    case Duplicate_Error::None:
        break;
    case Duplicate_Error::Out_Of_Range:
        error = Header(plan_.col) + Lang_Q(1356) + QString::number(plan_.low) + Lang_Q(1357) +
                QString::number(plan_.high);
        break;
    case Duplicate_Error::Not_A_Number:
        error = Header(plan_.col) + Lang_Q(1358);
        break;
    case Duplicate_Error::Bad_Copies:
        error = Lang_Q(grid_text::No_Free_Row);
        break;
    }
    L_Error->setText(error);
    L_Error->setVisible(!error.isEmpty());
    Btn_OK->setEnabled(error.isEmpty());
    if (!error.isEmpty()) {
        L_Preview->clear();
        return;
    }
    QString preview = Lang_Q(1350) + QString::number(row_ + 1) + Lang_Q(1352) + Fields_Of(plan_.copies.front());
    if (plan_.copies.size() > 1) {
        preview += QLatin1Char('\n') + Lang_Q(1351) + QString::number(row_ + static_cast<int>(plan_.copies.size())) +
                   Lang_Q(1352) + Fields_Of(plan_.copies.back());
    }
    L_Preview->setText(preview);
}

} // namespace qm::gui
