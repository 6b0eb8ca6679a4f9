#pragma once
// The differences between two configurations, one line each, grouped by file; and the same
// shape for the differences between two sets of device images (bank_diff.h).

#include <cstddef>
#include <string>
#include <vector>

#include "review/review_common.h"

namespace qm {

enum class Change_Kind { Added, Removed, Changed };

struct Diff_Line {
    Change_Kind kind;
    std::string text;
};

struct Diff_Group {
    std::string title; // the file, e.g. "S7_Protocol.xml" or "bank2.bin"
    std::vector<Diff_Line> lines;
};

struct Diff_Result {
    std::vector<Diff_Group> groups; // only groups that have lines, in file order
    std::size_t added = 0, removed = 0, changed = 0;

    std::size_t Count() const { return added + removed + changed; }
    bool Identical() const { return Count() == 0; }
    void Add(const std::string& group, Change_Kind kind, std::string text);
    void Append(const Diff_Result& other);
    // "Differences: 3 (1 added, 0 removed, 2 changed)", or the entry saying there are none.
    std::string Summary() const;
    // The groups as text: a heading line per group with its count, then its lines indented.
    std::string Text() const;
};

// A differs from B, A being the older side: "old -> new". Secrets show only as changed. Texts in
// the current language.
Diff_Result Diff_Configurations(const Configuration_Files& a, const Configuration_Files& b);

} // namespace qm
