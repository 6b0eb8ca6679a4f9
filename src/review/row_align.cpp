#include "review/row_align.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace qm {

int Equal_Cells_Likeness(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    const std::size_t cells = std::max(a.size(), b.size());
    int equal = 0;
    for (std::size_t c = 0; c < a.size() && c < b.size(); ++c) equal += a[c] == b[c] ? 1 : 0;
    return 2 * static_cast<std::size_t>(equal) >= cells && equal > 0 ? equal : 0;
}

namespace {

// The alignment tables hold (n + 1) x (m + 1) cells: enough for two full rule tables of 1024
// records, and an lcs length always fits its 16 bits.
constexpr std::size_t Max_Table_Cells = 1025 * 1025;

bool Fits_Table(std::size_t n, std::size_t m) {
    return n < 65535 && m < 65535 && (n + 1) * (m + 1) <= Max_Table_Cells;
}

} // namespace

std::vector<Aligned> Align_Rows(const std::vector<std::string>& a, const std::vector<std::string>& b,
                                const Row_Likeness& likeness) {
    // Rows become small numbers first, so the table below compares integers.
    std::unordered_map<std::string, int> ids;
    std::vector<int> x(a.size());
    std::vector<int> y(b.size());
    for (std::size_t i = 0; i < a.size(); ++i) x[i] = ids.try_emplace(a[i], static_cast<int>(ids.size())).first->second;
    for (std::size_t j = 0; j < b.size(); ++j) y[j] = ids.try_emplace(b[j], static_cast<int>(ids.size())).first->second;

    // Equal heads and tails need no table; 512 x 512 rows in between is small for the plain one.
    std::size_t head = 0;
    while (head < x.size() && head < y.size() && x[head] == y[head]) ++head;
    std::size_t tail = 0;
    while (tail < x.size() - head && tail < y.size() - head && x[x.size() - 1 - tail] == y[y.size() - 1 - tail]) ++tail;
    const std::size_t n = x.size() - head - tail;
    const std::size_t m = y.size() - head - tail;

    // lcs[i][j]: length of the common subsequence of x[head+i..] and y[head+j..]. Beyond the
    // largest real tables (a crafted image, a file of thousands of rows) the rows in between are
    // paired in order instead: memory stays linear and nothing is lost from the output.
    const bool table = Fits_Table(n, m);
    std::vector<std::uint16_t> lcs(table ? (n + 1) * (m + 1) : 0, 0);
    auto at = [m](std::size_t i, std::size_t j) { return i * (m + 1) + j; };
    for (std::size_t i = table ? n : 0; i-- > 0;) {
        for (std::size_t j = m; j-- > 0;) {
            lcs[at(i, j)] = x[head + i] == y[head + j]
                                ? static_cast<std::uint16_t>(lcs[at(i + 1, j + 1)] + 1)
                                : std::max(lcs[at(i + 1, j)], lcs[at(i, j + 1)]);
        }
    }

    std::vector<Aligned> out;
    out.reserve(std::max(a.size(), b.size()));
    for (std::size_t k = 0; k < head; ++k) out.push_back({Align_Op::Same, static_cast<int>(k), static_cast<int>(k)});
    std::vector<int> gone;
    std::vector<int> came;
    auto flush = [&] {
        if (!likeness || !Fits_Table(gone.size(), came.size())) {
            const std::size_t pairs = std::min(gone.size(), came.size());
            for (std::size_t k = 0; k < pairs; ++k) out.push_back({Align_Op::Changed, gone[k], came[k]});
            for (std::size_t k = pairs; k < gone.size(); ++k) out.push_back({Align_Op::Removed, gone[k], -1});
            for (std::size_t k = pairs; k < came.size(); ++k) out.push_back({Align_Op::Added, -1, came[k]});
        } else {
            // best[i][j]: the greatest likeness of an order-keeping pairing of gone[i..] and came[j..].
            const std::size_t g = gone.size();
            const std::size_t c = came.size();
            std::vector<int> like(g * c);
            for (std::size_t i = 0; i < g; ++i) {
                for (std::size_t j = 0; j < c; ++j) like[i * c + j] = likeness(gone[i], came[j]);
            }
            std::vector<int> best((g + 1) * (c + 1), 0);
            auto cell = [c](std::size_t i, std::size_t j) { return i * (c + 1) + j; };
            for (std::size_t i = g; i-- > 0;) {
                for (std::size_t j = c; j-- > 0;) {
                    const int paired = like[i * c + j] > 0 ? like[i * c + j] + best[cell(i + 1, j + 1)] : 0;
                    best[cell(i, j)] = std::max({best[cell(i + 1, j)], best[cell(i, j + 1)], paired});
                }
            }
            std::size_t i = 0;
            std::size_t j = 0;
            while (i < g || j < c) {
                if (i < g && j < c && like[i * c + j] > 0 && best[cell(i, j)] == like[i * c + j] + best[cell(i + 1, j + 1)]) {
                    out.push_back({Align_Op::Changed, gone[i++], came[j++]});
                } else if (i < g && (j == c || best[cell(i, j)] == best[cell(i + 1, j)])) {
                    out.push_back({Align_Op::Removed, gone[i++], -1});
                } else {
                    out.push_back({Align_Op::Added, -1, came[j++]});
                }
            }
        }
        gone.clear();
        came.clear();
    };
    std::size_t i = 0;
    std::size_t j = 0;
    if (!table) {
        for (; i < n; ++i) gone.push_back(static_cast<int>(head + i));
        for (; j < m; ++j) came.push_back(static_cast<int>(head + j));
    }
    while (i < n || j < m) {
        if (i < n && j < m && x[head + i] == y[head + j]) {
            flush();
            out.push_back({Align_Op::Same, static_cast<int>(head + i), static_cast<int>(head + j)});
            ++i;
            ++j;
        } else if (j == m || (i < n && lcs[at(i + 1, j)] >= lcs[at(i, j + 1)])) {
            gone.push_back(static_cast<int>(head + i++));
        } else {
            came.push_back(static_cast<int>(head + j++));
        }
    }
    flush();
    for (std::size_t k = 0; k < tail; ++k) {
        out.push_back({Align_Op::Same, static_cast<int>(a.size() - tail + k), static_cast<int>(b.size() - tail + k)});
    }
    return out;
}

} // namespace qm
