#include "tables/iec61850_variables.h"

#include "common/conversions.h"
#include "tables/table_layout.h"
#include "tables/table_xml.h"

namespace qm {

const std::vector<std::string> Variable_Type_Items = {"Int", "Float", "Digital (Bit)"};
const std::vector<std::string> Variable_Conversion_Items = {"None", "Int to Float", "Float to Int"};
const std::vector<std::string> Variable_Factor_Items = {"None"};

Table_Rows Reset_IEC61850_Variables() {
    return Reset_Table(Variable_Rows, Var_Col::Col_Count);
}

namespace {

constexpr const char* Root_Name = "IEC61850_Variables";
constexpr const char* Version_Comment = "SW_VERSION = 1.000";

Table_Read_Result Read_From(Table_Xml& x) {
    Table_Read_Result result{Reset_IEC61850_Variables(), {}};
    if (const pugi::xml_node root = Root_Element(x)) {
        const std::vector<pugi::xml_node> rows = Row_Elements(x, root, Variable_Rows);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            Table_Row& cells = result.rows[i];
            for (std::size_t k = 0; k < Variable_Attributes.size(); ++k) {
                const int column = static_cast<int>(k) + 1;
                if (const pugi::xml_attribute attribute = rows[i].attribute(Variable_Attributes[k])) {
                    cells[k] = attribute.value();
                } else if (column == Var_Col::ReadOnly || column == Var_Col::Swap || column == Var_Col::SwapWord) {
                    cells[k] = "N";
                }
                // A missing Enable keeps the reset "Y", any other cell its reset empty text.
            }
        }
    }
    result.info = std::move(x.info);
    return result;
}

bool In_Range(std::string_view cell, int low, int high) {
    const int value = Text_To_Int(cell, -1);
    return value >= low && value <= high;
}

// The checks of one enabled variable, in order: every failing one when every is set, else the first.
void Check_Variable(const Table_Row& row, int r, char separator, int nbyte_in, bool every,
                    std::vector<Cell_Fault>& faults) {
    // True when the variable's checks end here.
    auto fault = [&](int entry, int column, std::string suffix = {}) {
        faults.push_back(
            {Check_Fault{entry, r, std::move(suffix), Variable_Attributes[static_cast<std::size_t>(column - 1)], 0},
             column});
        return !every;
    };
    const Column_Layout& length = Layout_Of(Table_Id::Variables).Column(Var_Col::Length);
    if (!In_Range(Cell(row, Var_Col::Length), length.low, length.high) && fault(1541, Var_Col::Length)) {
        return;
    }
    if (!In_Range(Cell(row, Var_Col::Position), 0, nbyte_in - 1) &&
        fault(1530, Var_Col::Position, std::to_string(nbyte_in - 1))) {
        return;
    }
    // The bit matters only for a digital value; the type itself is compared untrimmed.
    if (Cell(row, Var_Col::Type) == "Digital (Bit)" && Trim(Cell(row, Var_Col::StartBit)).empty() &&
        fault(1538, Var_Col::StartBit)) {
        return;
    }
    if (Trim(Cell(row, Var_Col::Conversion)).empty() && fault(1539, Var_Col::Conversion)) {
        return;
    }
    const std::string_view factor = Cell(row, Var_Col::MultiplicationFactor);
    if (Upper_Ascii(Trim(factor)) != "NONE" && !Str_To_Float_Local(factor, separator).ok) {
        fault(1540, Var_Col::MultiplicationFactor);
    }
}

enum class Check_Depth { First_Fault, First_Per_Row, Every_Cell };

std::vector<Cell_Fault> Run_Check(const Table_Rows& rows, char separator, int nbyte_in, Check_Depth depth) {
    std::vector<Cell_Fault> faults;
    const int n = List_Length(rows, Var_Col::Name, Variable_Rows);
    for (int i = 0; i < n; ++i) {
        const Table_Row& row = rows[static_cast<std::size_t>(i)];
        if (Trim(Cell(row, Var_Col::Enable)) != "Y") {
            continue;
        }
        Check_Variable(row, i + 1, separator, nbyte_in, depth == Check_Depth::Every_Cell, faults);
        if (depth == Check_Depth::First_Fault && !faults.empty()) {
            break;
        }
    }
    return faults;
}

} // namespace

Table_Read_Result Read_IEC61850_Variables_File(const std::string& path) {
    Table_Xml x;
    Load_Table_Xml(path, x);
    return Read_From(x);
}

Table_Read_Result Read_IEC61850_Variables_Text(std::string_view text, const std::string& name) {
    Table_Xml x;
    Load_Table_Xml_Text(text, name, x);
    return Read_From(x);
}

void Write_IEC61850_Variables_Xml(const Table_Rows& rows, pugi::xml_document& doc) {
    doc.reset();
    pugi::xml_node root = doc.append_child(Root_Name);
    doc.append_child(pugi::node_comment).set_value(Version_Comment);
    const int n = List_Length(rows, Var_Col::Name, Variable_Rows);
    for (int i = 0; i < n; ++i) {
        pugi::xml_node row = root.append_child("row");
        for (std::size_t k = 0; k < Variable_Attributes.size(); ++k) {
            const std::string_view text = Cell(rows[static_cast<std::size_t>(i)], static_cast<int>(k) + 1);
            row.append_attribute(Variable_Attributes[k]).set_value(text.data(), text.size());
        }
    }
}

Table_Save_Result Save_IEC61850_Variables_File(const std::string& path, const Table_Rows& rows, bool keep_backup) {
    pugi::xml_document doc;
    Write_IEC61850_Variables_Xml(rows, doc);
    return Save_Table_File(doc, path, keep_backup);
}

std::optional<Check_Fault> Check_IEC61850_Variables(const Table_Rows& rows, char separator, int nbyte_in) {
    std::vector<Cell_Fault> faults = Run_Check(rows, separator, nbyte_in, Check_Depth::First_Fault);
    if (faults.empty()) {
        return std::nullopt;
    }
    return std::move(faults.front().fault);
}

std::vector<Check_Fault> IEC61850_Variables_Faults(const Table_Rows& rows, char separator, int nbyte_in) {
    std::vector<Check_Fault> faults;
    for (Cell_Fault& fault : Run_Check(rows, separator, nbyte_in, Check_Depth::First_Per_Row)) {
        faults.push_back(std::move(fault.fault));
    }
    return faults;
}

std::vector<Cell_Fault> IEC61850_Variables_Cell_Faults(const Table_Rows& rows, char separator, int nbyte_in) {
    return Run_Check(rows, separator, nbyte_in, Check_Depth::Every_Cell);
}

std::vector<Name_Clash> IEC61850_Duplicate_Names(const Table_Rows& rows) {
    std::vector<Name_Clash> clashes;
    const int n = List_Length(rows, Var_Col::Name, Variable_Rows);
    std::vector<std::pair<std::string_view, int>> enabled; // name, row
    for (int i = 0; i < n; ++i) {
        const Table_Row& row = rows[static_cast<std::size_t>(i)];
        if (Trim(Cell(row, Var_Col::Enable)) == "Y") {
            enabled.emplace_back(Trim(Cell(row, Var_Col::Name)), i + 1);
        }
    }
    // 50 rows at most: comparing each with each is cheap.
    for (const auto& [name, row] : enabled) {
        for (const auto& [other_name, other_row] : enabled) {
            if (other_row != row && other_name == name) {
                clashes.push_back({row, other_row});
                break;
            }
        }
    }
    return clashes;
}

std::vector<Column_Range> IEC61850_Count_Ranges(int nbyte_in) {
    return Count_Ranges(Layout_Of(Table_Id::Variables), nbyte_in);
}

} // namespace qm
