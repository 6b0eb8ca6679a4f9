#pragma once
// Lines of two lists aligned as a line diff aligns them: the longest common subsequence of
// equal rows, and between two common rows the rows of A and B paired up in order as changed,
// the rest removed or added. A row inserted in the middle is one added row, not a change of
// every row below it.

#include <functional>
#include <string>
#include <vector>

namespace qm {

enum class Align_Op { Same, Changed, Added, Removed };

struct Aligned {
    Align_Op op;
    int a = -1; // index in A; -1 for an added row
    int b = -1; // index in B; -1 for a removed row
};

// How alike row a of A and row b of B are, 0 when they should not be shown as one changed row.
using Row_Likeness = std::function<int(int a, int b)>;

// Rows compare equal when their keys are equal. Between two common rows, rows are paired as
// changed in order; with a likeness, the order-keeping pairing of greatest total likeness is
// taken instead, so that a row inserted next to a changed one does not take its place.
std::vector<Aligned> Align_Rows(const std::vector<std::string>& a, const std::vector<std::string>& b,
                                const Row_Likeness& likeness = {});

// A likeness that counts the equal cells, pairing rows of which at least half are equal.
int Equal_Cells_Likeness(const std::vector<std::string>& a, const std::vector<std::string>& b);

} // namespace qm
