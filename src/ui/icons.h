#pragma once
// Icons of the commands: the desktop theme's icon by its standard name, or
// the program's own small drawing when the theme has none.

#include <QIcon>

namespace qm::ui {

// A null icon for a command that has none.
QIcon command_icon(int command);

}  // namespace qm::ui
