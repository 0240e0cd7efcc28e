#pragma once

#include <QIcon>

namespace qm::ui {

// The program's icons are drawn, not shipped: the normal one and the one the
// tray shows while changes are being saved at shutdown.
QIcon program_icon();
QIcon saving_icon();

}  // namespace qm::ui
