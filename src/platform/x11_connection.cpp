#include "platform/x11_connection.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace qm::platform {

std::optional<x11_connection> current_x11_connection()
{
    auto* app = qGuiApp;
    if (app == nullptr || QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr || x11->connection() == nullptr)
        return std::nullopt;
    x11_connection c;
    c.display = x11->display();
    c.connection = x11->connection();
    c.root = static_cast<unsigned int>(DefaultRootWindow(c.display));
    return c;
}

}  // namespace qm::platform
