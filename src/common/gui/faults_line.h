#pragma once
// The line under a window's fields or tables that sums up what its OK check would refuse.

#include <QString>

namespace qm::gui {

// `none` when count is 0; `one` + the first message for one fault; else the count, `many` and the
// first message ("3" + " faults, the first: " + message).
QString Faults_Line(int count, const QString& first, const QString& none, const QString& one, const QString& many);

} // namespace qm::gui
