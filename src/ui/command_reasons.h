#pragma once
// Commands of the menus that this version cannot carry out, each with the
// reason its disabled menu item shows (as its tip and in the status bar).

#include <QString>

namespace qm::ui {

// Why the command is not available, or an empty text when nothing stands in
// its way.
QString unavailable_reason(int id);

}  // namespace qm::ui
