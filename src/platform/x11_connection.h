#pragma once
// The program's own X connection, as Qt opened it; nullopt on any session
// that is not X11 (Wayland, offscreen). Internal to the platform layer.

#include <optional>

struct _XDisplay;
struct xcb_connection_t;

namespace qm::platform {

struct x11_connection {
    _XDisplay* display = nullptr;
    xcb_connection_t* connection = nullptr;
    unsigned int root = 0;
};

std::optional<x11_connection> current_x11_connection();

}  // namespace qm::platform
