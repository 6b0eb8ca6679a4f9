// A list as an Excel workbook, written by libxlsxwriter: the cells of the CSV export, typed
// numbers where the text is a plain integer, and a drop-down on every list column.
#include "tables/exchange_rules.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "common/conversions.h"
#include "tables/xlsx_texts.h"

namespace qm {

using namespace exchange_rules;

namespace xt = xlsx_text;

namespace {

// What one cell of a workbook holds (Excel's limit), and a drop-down list spelled out in its
// validation.
constexpr std::size_t Max_Cell_Characters = 32767;
constexpr std::size_t Max_Inline_List = 255;
constexpr double Max_Column_Width = 60;

std::size_t Characters(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// A text a user typed as a plain decimal integer, which a number cell shows the same: no sign
// but '-', no leading zero, no more digits than a double holds exactly.
bool Plain_Integer(std::string_view text, double& value) {
    const std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
    if (digits.empty() || digits.size() > 15 || (digits.size() > 1 && digits.front() == '0') ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) || text == "-0") {
        return false;
    }
    value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
    }
    value = text.starts_with('-') ? -value : value;
    return true;
}

// The number columns: a range to check, and no items to pick from (a Position list has 1500).
bool Is_Number_Column(const Column_Layout& column) {
    return Has_Range(column) && (column.kind == Cell_Kind::Text || (column.kind == Cell_Kind::List && column.items == nullptr));
}

std::string Quoted_Sheet(const std::string& name) {
    std::string out = "'";
    for (const char c : name) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
    return out + "'";
}

std::string Column_Letters(int column) { // 0-based
    std::string letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return letters;
}

std::filesystem::path Temporary_Path() {
    std::random_device random;
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) {
        folder = ".";
    }
    return folder / ("quillmaker-" + std::to_string(random()) + "-" + std::to_string(random()) + ".xlsx");
}

class Writer {
public:
    Writer(Exchange_Table table, const Table_Rows& rows) : table_(table), rows_(rows) {}

    Workbook_Export Run() {
        Workbook_Export result;
        const std::filesystem::path path = Temporary_Path();
        const std::string name = path.string();
        book_ = workbook_new(name.c_str());
        if (book_ == nullptr) {
            result.error = L(xt::Not_Written) + name;
            return result;
        }
        Fill();
        const lxw_error closed = workbook_close(book_);
        if (!error_.empty() || closed != LXW_NO_ERROR) {
            result.error = !error_.empty() ? error_ : L(xt::Not_Written) + lxw_strerror(closed);
        } else {
            std::ifstream in(path, std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            result.bytes = bytes.str();
            if (!in || result.bytes.empty()) {
                result.error = L(xt::Not_Written) + name;
                result.bytes.clear();
            }
        }
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return result;
    }

private:
    void Fill() {
        const Table_Layout& layout = Layout_Of(table_);
        sheet_ = workbook_add_worksheet(book_, layout.name);
        lxw_format* bold = workbook_add_format(book_);
        format_set_bold(bold);
        const int fields = layout.Field_Count();
        widths_.assign(static_cast<std::size_t>(fields), 0);
        for (int c = 1; c <= fields; ++c) {
            const auto col = static_cast<lxw_col_t>(c - 1);
            worksheet_write_string(sheet_, 0, col, layout.Column(c).attribute, bold);
            worksheet_write_comment(sheet_, 0, col, Title(table_, c).c_str());
            Widen(c, layout.Column(c).attribute);
        }
        worksheet_freeze_panes(sheet_, 1, 0);
        lxw_row_t row = 0;
        Saved_Rows(table_, rows_, [&](const std::vector<std::string_view>& values) {
            ++row;
            for (std::size_t k = 0; k < values.size() && static_cast<int>(k) < fields; ++k) {
                Write_Cell(row, static_cast<int>(k) + 1, std::string(values[k]));
            }
        });
        for (int c = 1; c <= fields; ++c) {
            worksheet_set_column(sheet_, static_cast<lxw_col_t>(c - 1), static_cast<lxw_col_t>(c - 1),
                                 widths_[static_cast<std::size_t>(c - 1)], nullptr);
            Validate(c, layout.Column(c), layout.capacity);
        }
    }

    void Write_Cell(lxw_row_t row, int column, const std::string& text) {
        if (text.empty()) {
            return;
        }
        const auto col = static_cast<lxw_col_t>(column - 1);
        double number = 0;
        if (Is_Number_Column(Column_Of(table_, column)) && Plain_Integer(text, number)) {
            worksheet_write_number(sheet_, row, col, number, nullptr);
        } else if (Characters(text) > Max_Cell_Characters) {
            if (error_.empty()) {
                error_ = L(et::Row) + std::to_string(row) + L(et::Comma) + Title(table_, column) + L(xt::Cell_Too_Long);
            }
            return;
        } else {
            worksheet_write_string(sheet_, row, col, text.c_str(), nullptr);
        }
        Widen(column, text);
    }

    void Widen(int column, std::string_view text) {
        // A certificate's width is that of its longest line.
        std::size_t longest = 0;
        for (std::size_t start = 0; start <= text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            longest = std::max(longest, Characters(text.substr(start, end - start)));
            start = end + 1;
        }
        double& width = widths_[static_cast<std::size_t>(column - 1)];
        width = std::min(Max_Column_Width, std::max(width, static_cast<double>(longest) + 2));
    }

    void Validate(int column, const Column_Layout& layout, int capacity) {
        lxw_data_validation validation{};
        std::vector<std::string> items;
        std::string formula;
        std::vector<const char*> list;
        if (layout.kind == Cell_Kind::Check) {
            items = {"Y", "N"};
        } else if ((layout.kind == Cell_Kind::List || layout.kind == Cell_Kind::Free_List) && layout.items != nullptr) {
            items = *layout.items;
        } else if (Is_Number_Column(layout) && layout.data_size > 0) {
            validation.validate = LXW_VALIDATION_TYPE_INTEGER;
            validation.criteria = LXW_VALIDATION_CRITERIA_BETWEEN;
            validation.minimum_number = 0;
            validation.maximum_number = layout.data_size - 1;
        } else {
            return;
        }
        if (!items.empty()) {
            std::erase_if(items, [](const std::string& item) { return item.empty(); });
            std::size_t length = items.empty() ? 0 : items.size() - 1;
            bool plain = true;
            for (const std::string& item : items) {
                length += item.size();
                plain = plain && item.find_first_of(",\"") == std::string::npos;
            }
            validation.validate = LXW_VALIDATION_TYPE_LIST;
            if (plain && length <= Max_Inline_List) {
                for (const std::string& item : items) {
                    list.push_back(item.c_str());
                }
                list.push_back(nullptr);
                validation.value_list = const_cast<char**>(list.data());
            } else {
                formula = List_Range(items);
                validation.value_formula = formula.data();
            }
            // A free list offers its items but takes any text.
            if (layout.kind == Cell_Kind::Free_List) {
                validation.show_error = LXW_VALIDATION_OFF;
            }
        }
        const auto col = static_cast<lxw_col_t>(column - 1);
        if (worksheet_data_validation_range(sheet_, 1, col, static_cast<lxw_row_t>(capacity), col, &validation) !=
                LXW_NO_ERROR &&
            error_.empty()) {
            error_ = L(xt::Not_Written) + Title(table_, column);
        }
    }

    // The items on the hidden sheet, one column per list, and the range that names them.
    std::string List_Range(const std::vector<std::string>& items) {
        const std::string name = L(xt::Lists_Sheet);
        if (lists_ == nullptr) {
            lists_ = workbook_add_worksheet(book_, name.c_str());
            worksheet_hide(lists_);
        }
        const auto col = static_cast<lxw_col_t>(list_columns_++);
        for (std::size_t i = 0; i < items.size(); ++i) {
            worksheet_write_string(lists_, static_cast<lxw_row_t>(i), col, items[i].c_str(), nullptr);
        }
        const std::string letters = "$" + Column_Letters(col) + "$";
        return "=" + Quoted_Sheet(name) + "!" + letters + "1:" + letters + std::to_string(items.size());
    }

    Exchange_Table table_;
    const Table_Rows& rows_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_worksheet* lists_ = nullptr;
    int list_columns_ = 0;
    std::vector<double> widths_;
    std::string error_;
};

} // namespace

Workbook_Export Export_Workbook(Exchange_Table table, const Table_Rows& rows) {
    return Writer(table, rows).Run();
}

} // namespace qm
