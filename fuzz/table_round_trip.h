#pragma once
// The rule shared by the three list files: what the editor read is what its OK writes, and the
// written file reads back to the same list. Rows after the first blank key cell are not part of
// the list; after the round trip they are reset rows.

#include <string>

#include "common/xml_io.h"
#include "fuzz_support.h"
#include "tables/table_file.h"

namespace qm::fuzz {

// expected: the first reading; actual: the reading of the written file.
inline void Require_Same_List(const Table_Rows& expected, const Table_Rows& actual, int key_column, int capacity,
                              const std::string& what) {
    if (expected.size() != actual.size()) {
        Fail(what + ": row count changed");
    }
    const int length = List_Length(expected, key_column, capacity);
    const std::size_t column_count = expected.empty() ? 0 : expected.front().size();
    const Table_Row reset = Reset_Row(static_cast<int>(column_count) + 1);
    for (std::size_t r = 0; r < expected.size(); ++r) {
        const Table_Row& want = static_cast<int>(r) < length ? expected[r] : reset;
        if (actual[r].size() != want.size()) {
            Fail(what + ": cell count changed");
        }
        for (std::size_t c = 0; c < want.size(); ++c) {
            if (actual[r][c] != want[c]) {
                Fail(what + ": a cell changed on the way through the file",
                     "row " + std::to_string(r + 1) + ", column " + std::to_string(c + 1) + ": \"" + want[c] +
                         "\" came back as \"" + actual[r][c] + "\"");
            }
        }
    }
}

inline void Require_Named(const Table_Read_Info& info, const std::string& name) {
    for (const std::string& problem : info.problems) {
        Require(problem.find(name) != std::string::npos, "a problem does not name the file", problem);
    }
    Require(info.complete == info.problems.empty(), "complete disagrees with the problems listed", info.Message());
}

} // namespace qm::fuzz
