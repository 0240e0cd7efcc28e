#pragma once
// How the desktop knows the program: the names the window manager groups
// windows by and the desktop entry that gives them their icon. The desktop
// entry and the AppStream file installed with the program carry the same
// names; the install tests hold them to these.

#include <QString>

namespace qm::platform {

// "Quillmere Planner": also the class part of every window's WM_CLASS, which
// the desktop entry's StartupWMClass names.
QString application_name();
QString organization_name();
QString organization_domain();
// "org.quillmere.Planner": the desktop entry's file name without ".desktop",
// the icon's name and the AppStream id.
QString desktop_file_name();

// Sets the names above on the running application. Call once, right after
// the application object is made and before any window is.
void set_desktop_identity();

}  // namespace qm::platform
