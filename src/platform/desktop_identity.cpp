#include "platform/desktop_identity.h"

#include <QGuiApplication>

namespace qm::platform {

QString application_name() { return QStringLiteral("Quillmere Planner"); }
QString organization_name() { return QStringLiteral("Quillmere"); }
QString organization_domain() { return QStringLiteral("quillmere.org"); }
QString desktop_file_name() { return QStringLiteral("org.quillmere.Planner"); }

void set_desktop_identity()
{
    QCoreApplication::setApplicationName(application_name());
    QCoreApplication::setOrganizationName(organization_name());
    QCoreApplication::setOrganizationDomain(organization_domain());
    // Lets the window manager and the notification service find the desktop
    // entry, and with it the icon, for the program's windows.
    QGuiApplication::setDesktopFileName(desktop_file_name());
}

}  // namespace qm::platform
