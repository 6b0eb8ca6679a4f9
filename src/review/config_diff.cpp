#include "review/config_diff.h"

#include "language/lang_table.h"
#include "review/review_texts.h"
#include "review/row_align.h"
#include "tables/tls_known_cert.h"

namespace qm {

namespace rt = review_text;

void Diff_Result::Add(const std::string& group, Change_Kind kind, std::string text) {
    if (groups.empty() || groups.back().title != group) groups.push_back({group, {}});
    groups.back().lines.push_back({kind, std::move(text)});
    (kind == Change_Kind::Added ? added : kind == Change_Kind::Removed ? removed : changed) += 1;
}

void Diff_Result::Append(const Diff_Result& other) {
    for (const auto& group : other.groups) {
        for (const auto& line : group.lines) Add(group.title, line.kind, line.text);
    }
}

std::string Diff_Result::Summary() const {
    if (Identical()) return Lang(rt::Identical);
    const std::string head = Count() == 1 ? Lang(rt::One_Difference) : Lang(rt::Differences) + std::to_string(Count()) + " (";
    return head + std::to_string(added) + Lang(rt::Counts_Added) +
           std::to_string(removed) + Lang(rt::Counts_Removed) + std::to_string(changed) + Lang(rt::Counts_Changed) +
           ")";
}

std::string Diff_Result::Text() const {
    std::string text;
    for (const auto& group : groups) {
        text += group.title + ": " + std::to_string(group.lines.size()) + "\n";
        for (const auto& line : group.lines) text += "  " + line.text + "\n";
    }
    return text;
}

namespace {

std::string Value_Text(Par_Id id, const std::string& value) {
    const Par_Kind kind = Par_Def_Of(id).kind;
    return kind == Par_Kind::Multi_Line_Text ? Summary_Text(value) : Quoted(value);
}

void Diff_Parameters(const Configuration_Files& a, const Configuration_Files& b, Diff_Result& result) {
    for (const Par_Id id : All_Par_Ids()) {
        const std::string& old_value = a.par_gen.set[id];
        const std::string& new_value = b.par_gen.set[id];
        if (old_value == new_value) continue;
        std::string line = std::string(Par_Def_Of(id).element) + " (" + Par_Label(id) + "): ";
        line += Is_Secret(id) ? Lang(rt::Changed) : Value_Text(id, old_value) + " -> " + Value_Text(id, new_value);
        result.Add(ParGen_Name, Change_Kind::Changed, std::move(line));
    }
}

std::string Cell_Text(Table_Id id, int column, std::string_view cell) {
    // Certificates are long and span lines; the rest are short single-line texts.
    if (id == Table_Id::Certificates && column == Cert_Col::Certificate) return Summary_Text(cell);
    return Quoted(cell);
}

// An added or removed row: every cell with its column title.
std::string Row_Text(Table_Id id, const Table_Row& row) {
    const Table_Layout& def = Layout_Of(id);
    std::string text;
    for (std::size_t c = 0; c < row.size(); ++c) {
        if (c > 0) text += ", ";
        if (c < def.columns.size()) text += Lang(def.columns[c].title) + " ";
        text += Cell_Text(id, static_cast<int>(c) + 1, row[c]);
    }
    return text;
}

std::string Row_Key(const Table_Row& row) {
    std::string key;
    for (const auto& cell : row) {
        key += cell;
        key += '\x1F'; // a separator no cell text can hold unnoticed
    }
    return key;
}

void Diff_List(Table_Id id, const Configuration_Files& a, const Configuration_Files& b, Diff_Result& result) {
    const Table_Layout& def = Layout_Of(id);
    const Table_Rows& rows_a = List_Rows(a, id);
    const Table_Rows& rows_b = List_Rows(b, id);
    std::vector<std::string> keys_a;
    std::vector<std::string> keys_b;
    for (const auto& row : rows_a) keys_a.push_back(Row_Key(row));
    for (const auto& row : rows_b) keys_b.push_back(Row_Key(row));
    const std::string list = Lang(def.title) + ", " + Lang(rt::Row);
    const auto likeness = [&](int i, int j) {
        return Equal_Cells_Likeness(rows_a[static_cast<std::size_t>(i)], rows_b[static_cast<std::size_t>(j)]);
    };
    for (const Aligned& step : Align_Rows(keys_a, keys_b, likeness)) {
        switch (step.op) {
        case Align_Op::Same: break;
        case Align_Op::Added:
            result.Add(def.file, Change_Kind::Added,
                       list + std::to_string(step.b + 1) + ": " + Lang(rt::Added) + ": " +
                           Row_Text(id, rows_b[static_cast<std::size_t>(step.b)]));
            break;
        case Align_Op::Removed:
            result.Add(def.file, Change_Kind::Removed,
                       list + std::to_string(step.a + 1) + ": " + Lang(rt::Removed) + ": " +
                           Row_Text(id, rows_a[static_cast<std::size_t>(step.a)]));
            break;
        case Align_Op::Changed: {
            const Table_Row& old_row = rows_a[static_cast<std::size_t>(step.a)];
            const Table_Row& new_row = rows_b[static_cast<std::size_t>(step.b)];
            std::string where = list + std::to_string(step.a + 1);
            if (step.a != step.b) where += " -> " + std::to_string(step.b + 1);
            for (std::size_t c = 0; c < old_row.size() && c < new_row.size(); ++c) {
                if (old_row[c] == new_row[c]) continue;
                const int column = static_cast<int>(c) + 1;
                result.Add(def.file, Change_Kind::Changed,
                           where + ": " + Lang(def.columns[c].title) + ": " + Cell_Text(id, column, old_row[c]) +
                               " -> " + Cell_Text(id, column, new_row[c]));
            }
            break;
        }
        }
    }
}

} // namespace

Diff_Result Diff_Configurations(const Configuration_Files& a, const Configuration_Files& b) {
    Diff_Result result;
    Diff_Parameters(a, b, result);
    for (const Table_Id id : All_Tables) {
        Diff_List(id, a, b, result);
    }
    return result;
}

} // namespace qm
