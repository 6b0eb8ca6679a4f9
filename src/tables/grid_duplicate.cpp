#include "tables/grid_duplicate.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "common/conversions.h"

namespace qm {

namespace {

// The cell's number as the check reads it, or nothing when the check would find none.
std::optional<std::int64_t> Number_Of(std::string_view text) {
    // Text_To_Int gives its fallback for a text it cannot read; two fallbacks tell that from a
    // number that happens to equal one of them.
    const std::int32_t a = Text_To_Int(text, 0);
    const std::int32_t b = Text_To_Int(text, 1);
    if (a == 0 && b == 1) {
        return std::nullopt;
    }
    return a;
}

bool Is_Digit(char c) { return c >= '0' && c <= '9'; }

} // namespace

namespace {

int List_Length_Of(const Grid& grid, int key_col) {
    const int last = grid.Row_Count() - 1;
    int length = 0;
    while (length < last && !Trim(grid.Text(key_col, length + 1)).empty()) {
        ++length;
    }
    return length;
}

} // namespace

bool Duplicate_Row_In_List(const Grid& grid, int row, int key_col) {
    return grid.Is_Data_Row(row) && key_col >= 1 && key_col < grid.Col_Count() && row <= List_Length_Of(grid, key_col);
}

int Duplicate_Max_Copies(const Grid& grid, int row, int key_col) {
    // A row after the end of the list is neither checked nor saved: copies of it would be lost.
    if (!Duplicate_Row_In_List(grid, row, key_col)) {
        return 0;
    }
    const int last = grid.Row_Count() - 1;
    return std::max(0, std::min(last - List_Length_Of(grid, key_col), last - row));
}

bool Ends_In_Number(std::string_view text) { return !text.empty() && Is_Digit(text.back()); }

std::string Count_Number(std::string_view text, long long by) {
    const auto value = Number_Of(text);
    if (!value) {
        return {};
    }
    // The parts Text_To_Int reads: blanks, a sign, a hexadecimal prefix, the digits.
    std::size_t i = text.find_first_not_of(' ');
    const std::string_view blanks = text.substr(0, i);
    const bool plus = text[i] == '+';
    if (text[i] == '+' || text[i] == '-') {
        ++i;
    }
    std::size_t digits_at = i;
    if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
        digits_at = i + 1;
    } else if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        digits_at = i + 2;
    }
    const std::string_view prefix = text.substr(i, digits_at - i);
    const std::string_view digits = text.substr(digits_at);
    const bool hex = !prefix.empty();
    const bool lower = std::any_of(digits.begin(), digits.end(), [](char c) { return c >= 'a' && c <= 'f'; });
    // Hexadecimal numbers and numbers with leading zeros keep their width; "10" less 5 is "5".
    const bool padded = hex || (digits.size() > 1 && digits.front() == '0');

    const std::int64_t result = *value + by;
    std::uint64_t magnitude = result < 0 ? static_cast<std::uint64_t>(-result) : static_cast<std::uint64_t>(result);
    std::string out;
    do {
        const int d = static_cast<int>(magnitude % (hex ? 16 : 10));
        out.insert(out.begin(), static_cast<char>(d < 10 ? '0' + d : (lower ? 'a' : 'A') + d - 10));
        magnitude /= hex ? 16 : 10;
    } while (magnitude > 0);
    if (padded && out.size() < digits.size()) {
        out.insert(0, digits.size() - out.size(), '0');
    }
    const std::string sign = result < 0 ? "-" : (plus ? "+" : "");
    return std::string(blanks) + sign + std::string(prefix) + out;
}

std::string Count_Up(std::string_view text, long long by) {
    std::size_t start = text.size();
    while (start > 0 && Is_Digit(text[start - 1])) {
        --start;
    }
    if (start == text.size() || by <= 0) {
        return std::string(text);
    }
    // Decimal addition on the digits themselves, so that no length of number overflows.
    std::string digits(text.substr(start));
    std::string add = std::to_string(by);
    if (add.size() > digits.size()) {
        digits.insert(0, add.size() - digits.size(), '0');
    }
    int carry = 0;
    std::size_t j = add.size();
    for (std::size_t i = digits.size(); i-- > 0;) {
        int d = digits[i] - '0' + carry;
        if (j > 0) {
            d += add[--j] - '0';
        }
        carry = d / 10;
        digits[i] = static_cast<char>('0' + d % 10);
    }
    if (carry > 0) {
        digits.insert(digits.begin(), static_cast<char>('0' + carry));
    }
    return std::string(text.substr(0, start)) + digits;
}

Duplicate_Plan Plan_Duplicate(const Grid& grid, const Duplicate_Request& request, int key_col,
                              const std::vector<Count_Column>& ranges) {
    Duplicate_Plan plan;
    if (request.copies < 1 || request.copies > Duplicate_Max_Copies(grid, request.row, key_col)) {
        plan.error = Duplicate_Error::Bad_Copies;
        return plan;
    }
    struct Counted {
        int col;
        int step;
    };
    std::vector<Counted> counted;
    for (const Count_Column& range : ranges) {
        const auto it = std::find_if(request.increments.begin(), request.increments.end(),
                                     [&](const auto& inc) { return inc.first == range.col; });
        if (it == request.increments.end() || it->second == 0) {
            continue;
        }
        const auto base = Number_Of(grid.Text(range.col, request.row));
        if (!base) {
            plan = {Duplicate_Error::Not_A_Number, range.col, range.low, range.high, {}};
            return plan;
        }
        // The values run one way, so the first and the last copy bound them all.
        const std::int64_t first = *base + it->second;
        const std::int64_t last = *base + std::int64_t{it->second} * request.copies;
        if (std::min(first, last) < range.low || std::max(first, last) > range.high) {
            plan = {Duplicate_Error::Out_Of_Range, range.col, range.low, range.high, {}};
            return plan;
        }
        counted.push_back({range.col, it->second});
    }
    const Row_Cells source = Grid_Row_Cells(grid, request.row);
    std::vector<int> text_cols;
    for (const int col : request.text_cols) {
        if (col >= 1 && col < grid.Col_Count() && Ends_In_Number(grid.Text(col, request.row))) {
            text_cols.push_back(col);
        }
    }
    for (int k = 1; k <= request.copies; ++k) {
        Row_Cells copy = source;
        for (const Counted& c : counted) {
            auto& text = copy[static_cast<std::size_t>(c.col - 1)].text;
            text = Count_Number(text, std::int64_t{c.step} * k);
        }
        for (const int col : text_cols) {
            auto& text = copy[static_cast<std::size_t>(col - 1)].text;
            text = Count_Up(text, k);
        }
        plan.copies.push_back(std::move(copy));
    }
    return plan;
}

} // namespace qm
