#include "common/gui/faults_line.h"

namespace qm::gui {

QString Faults_Line(int count, const QString& first, const QString& none, const QString& one, const QString& many) {
    if (count <= 0) {
        return none;
    }
    if (count == 1) {
        return one + first;
    }
    return QString::number(count) + many + first;
}

} // namespace qm::gui
