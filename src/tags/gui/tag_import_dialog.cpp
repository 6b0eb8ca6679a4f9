#include "tags/gui/tag_import_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/conversions.h"
#include "language/lang_strings.h"
#include "tables/table_exchange.h"
#include "tables/table_layout.h"
#include "tags/tags_texts.h"

namespace qm::gui {

namespace {

namespace tt = tags_text;

QString Text(int entry) {
    return QString::fromStdString(Lang(entry));
}

QString Text_Of(const std::string& text) {
    return QString::fromStdString(text);
}

QComboBox* Combo_Of(const std::vector<std::string>& items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    for (const std::string& item : items) {
        combo->addItem(Text_Of(item));
    }
    return combo;
}

QTableWidget* Preview_Table(const QStringList& headers, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setDefaultSectionSize(20);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void Fill(QTableWidget* table, const std::vector<std::vector<std::string>>& rows) {
    table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& row = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.size()); ++c) {
            table->setItem(r, c, new QTableWidgetItem(Text_Of(row[static_cast<std::size_t>(c)])));
        }
    }
    // At most a list's 512 rows of short texts: cheap to measure, and names are read whole.
    table->resizeColumnsToContents();
}

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

// The columns of a rule the preview shows: what the tag decided.
constexpr int Preview_Columns[] = {S7_Read_Col::Mnemonic,  S7_Read_Col::Data_Type, S7_Read_Col::Data_Identifier,
                                   S7_Read_Col::DB_Number, S7_Read_Col::PLC_Area,  S7_Read_Col::PLC_Add,
                                   S7_Read_Col::PLC_Bit,   S7_Read_Col::Position,  S7_Read_Col::Bit};

} // namespace

Tag_Import_Dialog::Tag_Import_Dialog(S7_Protocol_Data current, Table_Rows variables, QWidget* parent)
    : QDialog(parent), current_(std::move(current)), variables_(std::move(variables)) {
    setObjectName(QStringLiteral("TFImport_PLC_Tags"));
    setWindowTitle(Text(tt::Dialog_Title));
    const Table_Layout& layout = Layout_Of(Table_Id::S7_Read);
    const auto title = [&](int column) { return Text(layout.Column(column).title); };

    E_File = new QLineEdit(this);
    Btn_Browse = new QPushButton(Text(tt::Browse), this);
    auto* file_row = new QHBoxLayout;
    file_row->addWidget(new QLabel(Text(tt::File), this));
    file_row->addWidget(E_File, 1);
    file_row->addWidget(Btn_Browse);

    auto* connection = new QGroupBox(Text(tt::Connection), this);
    auto* connection_form = new QFormLayout(connection);
    E_PLC_Address = new QLineEdit(connection);
    E_Port = new QLineEdit(QString::fromStdString(options_.port), connection);
    CB_PLC_Type = Combo_Of(PLC_Type_Items, connection);
    CB_PLC_Type->setCurrentText(Text_Of(options_.plc_type));
    E_Rack = new QLineEdit(Text_Of(options_.rack), connection);
    E_Slot = new QLineEdit(Text_Of(options_.slot), connection);
    E_Poll_Time = new QLineEdit(Text_Of(options_.poll_time), connection);
    connection_form->addRow(title(S7_Read_Col::PLC_Address), E_PLC_Address);
    connection_form->addRow(title(S7_Read_Col::PLC_Port), E_Port);
    connection_form->addRow(title(S7_Read_Col::PLC_Type), CB_PLC_Type);
    connection_form->addRow(title(S7_Read_Col::Rack), E_Rack);
    connection_form->addRow(title(S7_Read_Col::Slot), E_Slot);
    connection_form->addRow(title(S7_Read_Col::PollTime), E_Poll_Time);

    auto* rules = new QGroupBox(Text(tt::List), this);
    auto* rules_form = new QFormLayout(rules);
    CB_List = new QComboBox(rules);
    CB_List->addItems({Text(tt::Read_List), Text(tt::Write_List)});
    CB_Area_Identifier = Combo_Of(Data_Identifier_Items, rules);
    CB_Db_Area = Combo_Of(PLC_Area_Items, rules);
    E_Db_Number = new QLineEdit(rules);
    E_First_Position = new QLineEdit(rules);
    CK_Variables = new QCheckBox(Text(tt::Also_Variables), rules);
    rules_form->addRow(Text(tt::List), CB_List);
    rules_form->addRow(Text(tt::Area_Identifier), CB_Area_Identifier);
    rules_form->addRow(Text(tt::Db_Area), CB_Db_Area);
    rules_form->addRow(Text(tt::Db_Number), E_Db_Number);
    rules_form->addRow(Text(tt::First_Position), E_First_Position);
    rules_form->addRow(CK_Variables);

    auto* fields = new QHBoxLayout;
    fields->addWidget(connection);
    fields->addWidget(rules);

    QStringList headers;
    for (const int column : Preview_Columns) {
        headers.append(title(column));
    }
    T_Rules = Preview_Table(headers, this);
    T_Rules->setObjectName(QStringLiteral("T_Rules"));
    T_Left_Out = Preview_Table({Text(tt::Line), Text(tt::Name), Text(tt::Reason)}, this);
    T_Left_Out->setObjectName(QStringLiteral("T_Left_Out"));
    L_Problems = new QLabel(this);
    L_Problems->setWordWrap(true);
    L_Problems->setTextFormat(Qt::PlainText);

    auto* buttons = new QDialogButtonBox(this);
    Btn_OK = buttons->addButton(Text(tt::Ok), QDialogButtonBox::AcceptRole);
    Btn_Cancel = buttons->addButton(Text(tt::Cancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* main = new QVBoxLayout(this);
    main->addLayout(file_row);
    main->addLayout(fields);
    main->addWidget(new QLabel(Text(tt::Rules_Preview), this));
    main->addWidget(T_Rules, 3);
    main->addWidget(new QLabel(Text(tt::Left_Out_Title), this));
    main->addWidget(T_Left_Out, 1);
    main->addWidget(L_Problems);
    main->addWidget(buttons);
    resize(900, 640);

    connect(Btn_Browse, &QPushButton::clicked, this, &Tag_Import_Dialog::Browse);
    for (QLineEdit* edit : {E_File, E_PLC_Address, E_Port, E_Rack, E_Slot, E_Poll_Time, E_Db_Number, E_First_Position}) {
        connect(edit, &QLineEdit::textChanged, this, &Tag_Import_Dialog::Refresh);
    }
    for (QComboBox* combo : {CB_PLC_Type, CB_List, CB_Area_Identifier, CB_Db_Area}) {
        connect(combo, &QComboBox::currentIndexChanged, this, &Tag_Import_Dialog::Refresh);
    }
    connect(CK_Variables, &QCheckBox::toggled, this, &Tag_Import_Dialog::Refresh);
    Refresh();
}

void Tag_Import_Dialog::Browse() {
    const QString path = QFileDialog::getOpenFileName(this, Text(tt::Dialog_Title), E_File->text(), Text(tt::File_Filter));
    if (!path.isEmpty()) {
        E_File->setText(path);
    }
}

void Tag_Import_Dialog::Refresh() {
    const std::string path = Utf8(E_File->text().trimmed());
    if (path != read_path_) {
        read_path_ = path;
        read_problem_.clear();
        bytes_.clear();
        if (!path.empty()) {
            if (const std::optional<std::string> problem = Read_Exchange_File(path, bytes_)) {
                read_problem_ = *problem;
            }
        }
    }
    options_ = {};
    options_.plc_address = Utf8(E_PLC_Address->text());
    options_.port = Utf8(E_Port->text());
    options_.plc_type = Utf8(CB_PLC_Type->currentText());
    options_.rack = Utf8(E_Rack->text());
    options_.slot = Utf8(E_Slot->text());
    options_.poll_time = Utf8(E_Poll_Time->text());
    options_.write_list = CB_List->currentIndex() == 1;
    options_.area_identifier = Utf8(CB_Area_Identifier->currentText());
    options_.db_area = Utf8(CB_Db_Area->currentText());
    const int first = Text_To_Int(Utf8(E_First_Position->text()), -1);
    if (first >= 0) {
        options_.first_position = first;
    }
    // Variables come from read rules only.
    CK_Variables->setEnabled(!options_.write_list);
    options_.variables = CK_Variables->isChecked() && !options_.write_list;

    read_ = {};
    rules_ = {};
    merge_ = {};
    if (!path.empty() && read_problem_.empty()) {
        read_ = Read_Tag_File(bytes_, std::max(0, Text_To_Int(Utf8(E_Db_Number->text()), 0)));
        if (read_.ok()) {
            rules_ = Make_Tag_Rules(read_.tags, options_.write_list ? current_.Write : current_.Read, options_);
            if (rules_.ok()) {
                merge_ = Merge_Tag_Rules(current_, variables_, rules_, options_);
            }
        }
    }
    Show_Preview();
}

void Tag_Import_Dialog::Show_Preview() {
    std::vector<std::vector<std::string>> rows;
    const int position = options_.write_list ? int{S7_Write_Col::Position} : int{S7_Read_Col::Position};
    for (const Table_Row& rule : rules_.rules) {
        std::vector<std::string> cells;
        for (const int column : Preview_Columns) {
            // Position, Start Bit and Mnemonic sit further right in the write list.
            const int shift = column >= S7_Read_Col::Position ? position - S7_Read_Col::Position : 0;
            cells.emplace_back(Cell(rule, column + shift));
        }
        rows.push_back(std::move(cells));
    }
    Fill(T_Rules, rows);
    rows.clear();
    for (const Left_Out_Tag& left : read_.left_out) {
        rows.push_back({std::to_string(left.line), left.name, left.reason});
    }
    Fill(T_Left_Out, rows);

    std::vector<std::string> problems;
    if (!read_problem_.empty()) {
        problems.push_back(read_problem_);
    }
    for (const Tag_Error& error : read_.errors) {
        problems.push_back(With_Line(error.line, error.text));
    }
    for (const Tag_Error& error : rules_.errors) {
        problems.push_back(With_Line(error.line, error.text));
    }
    for (const std::string& fault : merge_.faults) {
        problems.push_back(fault);
    }
    QString text;
    if (!problems.empty()) {
        text = Text(tt::Cannot_Import);
        for (std::size_t i = 0; i < problems.size() && i < 5; ++i) {
            text += QLatin1Char('\n') + Text_Of(problems[i]);
        }
    }
    L_Problems->setText(text);
    Btn_OK->setEnabled(problems.empty() && !rules_.rules.empty());
}

} // namespace qm::gui
