#include "ui/command_reasons.h"

namespace qm::ui {

QString unavailable_reason(int id)
{
    switch (id) {
    case 41058:  // Sort
    case 41059:  // Keep Sorted
        return QStringLiteral("The Day view and the task lists always keep their rows in the order chosen under "
                              "View > Task List > Sort By; the Projects tab has its own Sort and Keep Sorted.");
    default:
        return QString();
    }
}

}  // namespace qm::ui
