#include "ui/command_reasons.h"

namespace qm::ui {

QString unavailable_reason(int id)
{
    switch (id) {
    case 40971:  // Jump To Alarm
        return QStringLiteral("Alarms are not part of this version yet, so there is no alarm to jump to.");
    case 40244:  // Add Alarm
        return QStringLiteral("Alarms are not part of this version yet.");
    default:
        return QString();
    }
}

}  // namespace qm::ui
