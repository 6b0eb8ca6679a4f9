// Pasting a tab-separated block of the clipboard into a list: its size, its values, the list's end.
#include "tables/exchange_rules.h"

#include <algorithm>
#include <utility>

#include "common/conversions.h"
#include "tables/tls_known_cert.h"

namespace qm {

using namespace exchange_rules;

namespace {

// Why a block of height rows and width columns does not fit at (top_row, left_column); none when it fits.
std::vector<std::string> Block_Fit_Errors(Exchange_Table table, long height, long width, int top_row,
                                          int left_column) {
    const int capacity = Exchange_Capacity(table);
    const int fields = Exchange_Field_Count(table);
    std::vector<std::string> fit;
    if (top_row < 1 || top_row + height - 1 > capacity) {
        fit.push_back(L(et::Block_Has) + std::to_string(height) + L(et::Rows_From) + std::to_string(top_row) +
                      L(et::Room_For) + std::to_string(std::max(0, capacity - top_row + 1)));
    }
    const bool column_ok = left_column >= 1 && left_column <= fields;
    if (!column_ok || left_column + width - 1 > fields) {
        fit.push_back(L(et::Block_Has) + std::to_string(width) + L(et::Columns_From) +
                      (column_ok ? Title(table, left_column) : std::to_string(left_column)) + L(et::Room_For) +
                      std::to_string(column_ok ? fields - left_column + 1 : 0));
    }
    return fit;
}

// A paste must not put anything where no save keeps it: below the end of the list as it would
// stand after the paste, or into rows of the list that a blank key cell of the block would cut
// off. The message names the row whose blank key would end the list.
std::optional<std::string> Lost_Below_End(Exchange_Table table, const Table_Rows& current,
                                          const std::vector<std::vector<std::string>>& cells, int top_row,
                                          int left_column) {
    const int capacity = Exchange_Capacity(table);
    const int key = Exchange_Key_Column(table);
    const auto key_after = [&](int row) -> std::string_view {
        const int i = row - top_row;
        if (i >= 0 && i < static_cast<int>(cells.size())) {
            const std::vector<std::string>& line = cells[static_cast<std::size_t>(i)];
            const int j = key - left_column;
            if (j >= 0 && j < static_cast<int>(line.size())) {
                return line[static_cast<std::size_t>(j)];
            }
        }
        return row <= static_cast<int>(current.size()) ? Cell(current[static_cast<std::size_t>(row - 1)], key)
                                                        : std::string_view();
    };
    int end = 0; // the length of the list after the paste
    while (end < capacity && !Trim(key_after(end + 1)).empty()) {
        ++end;
    }
    bool lost = end < List_Length(current, key, capacity);
    for (std::size_t i = 0; i < cells.size() && !lost; ++i) {
        if (top_row + static_cast<int>(i) > end) {
            lost = std::any_of(cells[i].begin(), cells[i].end(), [](const std::string& c) { return !Trim(c).empty(); });
        }
    }
    if (!lost) {
        return std::nullopt;
    }
    return L(et::Row) + std::to_string(end + 1) + L(et::Comma) + Title(table, key) + L(et::Key_Blank);
}

std::string_view Without_Final_Line_Ends(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

Block_Paste Parse_Block(Exchange_Table table, std::string_view text, int top_row, int left_column,
                        const Table_Rows* current) {
    Block_Paste paste;
    Error_List errors;
    Prepared prepared = Prepare(text, errors, false);
    if (prepared.failed) {
        for (Exchange_Error& e : errors.Take()) {
            paste.errors.push_back(std::move(e.text));
        }
        return paste;
    }
    const auto finish = [&]() -> Block_Paste& {
        if (paste.errors.empty() && current != nullptr) {
            if (std::optional<std::string> lost = Lost_Below_End(table, *current, paste.cells, top_row, left_column)) {
                paste.errors.push_back(std::move(*lost));
            }
        }
        if (!paste.errors.empty()) {
            paste.cells.clear();
        }
        return paste;
    };
    // A certificate copied from a text editor is many lines without tabs or quotes: it belongs in
    // one cell, not in one row per line.
    if (table == Exchange_Table::Certificates && left_column == Cert_Col::Certificate &&
        Trim(prepared.text).starts_with("-----BEGIN") && prepared.text.find_first_of("\t\"") == std::string::npos) {
        std::string cell = std::move(prepared.text);
        if (const std::string error = Take_Value(table, left_column, cell); !error.empty()) {
            paste.errors.push_back(L(et::Row) + std::to_string(top_row) + L(et::Comma) + error);
        } else if (top_row < 1 || top_row > Cert_Rows) {
            paste.errors.push_back(L(et::Block_Has) + "1" + L(et::Rows_From) + std::to_string(top_row) + L(et::Room_For) + "0");
        } else {
            paste.cells.push_back({std::move(cell)});
        }
        return finish();
    }
    // Counted before a cell is stored: a huge block of tabs would otherwise become millions of texts.
    const std::string_view body = Without_Final_Line_Ends(prepared.text);
    if (body.empty()) {
        paste.errors.push_back(L(et::Empty_Clipboard));
        return paste;
    }
    const Csv_Shape shape = Measure_Csv(body, '\t');
    if (std::vector<std::string> fit = Block_Fit_Errors(table, shape.rows, shape.widest, top_row, left_column);
        !fit.empty()) {
        paste.errors = std::move(fit);
        return paste;
    }
    std::vector<Csv_Record> records;
    const std::vector<Csv_Syntax_Error> syntax =
        Read_Csv(prepared.text, '\t', [&](Csv_Record& record) { records.push_back(std::move(record)); });
    Add_Syntax_Errors(syntax, errors, true, top_row);
    // The line end after the last row is not another row; an empty line inside is one empty cell.
    while (!records.empty() && records.back().fields.empty()) {
        records.pop_back();
    }
    for (Csv_Record& record : records) {
        if (record.fields.empty()) {
            record.fields.emplace_back();
        }
    }
    if (records.empty() && syntax.empty()) {
        paste.errors.push_back(L(et::Empty_Clipboard));
        return paste;
    }
    const int height = static_cast<int>(records.size());
    std::size_t width = 0;
    for (const Csv_Record& record : records) {
        width = std::max(width, record.fields.size());
    }
    if (std::vector<std::string> fit = Block_Fit_Errors(table, height, static_cast<long>(width), top_row, left_column);
        !fit.empty()) {
        paste.errors = std::move(fit);
        return paste;
    }
    for (int i = 0; i < height; ++i) {
        std::vector<std::string> line;
        const std::vector<std::string>& cells = records[static_cast<std::size_t>(i)].fields;
        for (std::size_t j = 0; j < cells.size(); ++j) {
            const int column = left_column + static_cast<int>(j);
            std::string cell = cells[j];
            if (const std::string error = Take_Value(table, column, cell); !error.empty()) {
                errors.Add(0, L(et::Row) + std::to_string(top_row + i) + L(et::Comma) + error);
            }
            line.push_back(std::move(cell));
        }
        paste.cells.push_back(std::move(line));
    }
    for (Exchange_Error& e : errors.Take()) {
        paste.errors.push_back(std::move(e.text));
    }
    return finish();
}

} // namespace qm
