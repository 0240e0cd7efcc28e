// The desktop on X11: idle time from the XScreenSaver extension, the window
// stack from the window manager's EWMH lists, and, when no window manager
// keeps those lists, the root window's children by their geometry.

#include "platform/desktop.h"
#include "platform/x11_connection.h"

#include <QGuiApplication>
#include <QScreen>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <map>

namespace qm::platform {
namespace {

// A reply that frees itself.
template <class T>
struct reply {
    T* p = nullptr;
    explicit reply(T* r) : p(r) {}
    ~reply() { std::free(p); }
    reply(const reply&) = delete;
    reply& operator=(const reply&) = delete;
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

class x11_desktop : public desktop {
public:
    explicit x11_desktop(x11_connection x) : x_(x)
    {
        int event_base = 0, error_base = 0;
        has_screensaver_ = XScreenSaverQueryExtension(x_.display, &event_base, &error_base) != 0;
    }

    std::optional<std::int64_t> idle_seconds() override
    {
        if (!has_screensaver_)
            return std::nullopt;
        XScreenSaverInfo* info = XScreenSaverAllocInfo();
        if (info == nullptr)
            return std::nullopt;
        std::optional<std::int64_t> seconds;
        if (XScreenSaverQueryInfo(x_.display, x_.root, info) != 0)
            seconds = static_cast<std::int64_t>(info->idle / 1000);  // milliseconds, truncated
        XFree(info);
        return seconds;
    }

    std::vector<QRect> screens() override
    {
        std::vector<QRect> out;
        for (QScreen* s : QGuiApplication::screens()) {
            const qreal r = s->devicePixelRatio();
            const QRect g = s->geometry();
            out.push_back(QRect(QPoint(qRound(g.x() * r), qRound(g.y() * r)),
                                QSize(qRound(g.width() * r), qRound(g.height() * r))));
        }
        return out;
    }

    std::vector<window_facts> top_level_windows() override
    {
        std::vector<xcb_window_t> stacking = windows_property(x_.root, "_NET_CLIENT_LIST_STACKING");
        const bool managed = !stacking.empty();
        if (!managed)
            stacking = root_children();  // no window manager answers: the bare windows
        std::vector<window_facts> out;
        for (auto it = stacking.rbegin(); it != stacking.rend(); ++it)
            out.push_back(facts(*it, managed));
        return out;
    }

    std::uint64_t active_window() override
    {
        const std::vector<xcb_window_t> w = windows_property(x_.root, "_NET_ACTIVE_WINDOW");
        if (!w.empty() && w.front() != 0)
            return w.front();
        reply<xcb_get_input_focus_reply_t> focus(
            xcb_get_input_focus_reply(x_.connection, xcb_get_input_focus(x_.connection), nullptr));
        return focus && focus->focus > 1 ? focus->focus : 0;
    }

    void activate(std::uint64_t window) override
    {
        if (window == 0)
            return;
        xcb_client_message_event_t m;
        std::memset(&m, 0, sizeof m);
        m.response_type = XCB_CLIENT_MESSAGE;
        m.format = 32;
        m.window = static_cast<xcb_window_t>(window);
        m.type = atom("_NET_ACTIVE_WINDOW");
        m.data.data32[0] = 2;  // as a pager asks: window managers honour it
        m.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(x_.connection, 0, x_.root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&m));
        xcb_flush(x_.connection);
    }

private:
    xcb_atom_t atom(const char* name)
    {
        auto found = atoms_.find(name);
        if (found != atoms_.end())
            return found->second;
        reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
            x_.connection, xcb_intern_atom(x_.connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
        const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        atoms_[name] = a;
        return a;
    }

    std::vector<std::uint32_t> cardinals(xcb_window_t w, xcb_atom_t property, xcb_atom_t type)
    {
        reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
            x_.connection, xcb_get_property(x_.connection, 0, w, property, type, 0, 4096), nullptr));
        if (!r || r->format != 32)
            return {};
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(r.p));
        const int n = xcb_get_property_value_length(r.p) / 4;
        return std::vector<std::uint32_t>(data, data + n);
    }

    std::vector<xcb_window_t> windows_property(xcb_window_t w, const char* name)
    {
        return cardinals(w, atom(name), XCB_ATOM_ANY);
    }

    QByteArray bytes(xcb_window_t w, xcb_atom_t property)
    {
        reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
            x_.connection, xcb_get_property(x_.connection, 0, w, property, XCB_ATOM_ANY, 0, 1024), nullptr));
        if (!r || r->format != 8)
            return {};
        return QByteArray(static_cast<const char*>(xcb_get_property_value(r.p)), xcb_get_property_value_length(r.p));
    }

    std::vector<xcb_window_t> root_children()
    {
        reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(x_.connection, xcb_query_tree(x_.connection, x_.root), nullptr));
        if (!tree)
            return {};
        const xcb_window_t* c = xcb_query_tree_children(tree.p);
        return std::vector<xcb_window_t>(c, c + xcb_query_tree_children_length(tree.p));
    }

    window_facts facts(xcb_window_t w, bool managed)
    {
        window_facts f;
        reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(x_.connection, xcb_get_window_attributes(x_.connection, w), nullptr));
        f.visible = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        reply<xcb_get_geometry_reply_t> g(
            xcb_get_geometry_reply(x_.connection, xcb_get_geometry(x_.connection, w), nullptr));
        reply<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(
            x_.connection, xcb_translate_coordinates(x_.connection, w, x_.root, 0, 0), nullptr));
        if (g && at)
            f.frame = QRect(at->dst_x, at->dst_y, g->width, g->height);

        const QByteArray wm_class = bytes(w, XCB_ATOM_WM_CLASS);
        const int split = wm_class.indexOf('\0');
        if (split >= 0)
            f.window_class = QString::fromLocal8Bit(wm_class.mid(split + 1)).section(QChar(0), 0, 0);
        const QByteArray net_name = bytes(w, atom("_NET_WM_NAME"));
        f.title = !net_name.isEmpty() ? QString::fromUtf8(net_name) : QString::fromLocal8Bit(bytes(w, XCB_ATOM_WM_NAME));

        for (std::uint32_t s : cardinals(w, atom("_NET_WM_STATE"), XCB_ATOM_ATOM)) {
            f.fullscreen_state = f.fullscreen_state || s == atom("_NET_WM_STATE_FULLSCREEN");
            f.above = f.above || s == atom("_NET_WM_STATE_ABOVE");
            f.minimised = f.minimised || s == atom("_NET_WM_STATE_HIDDEN");
        }
        for (std::uint32_t t : cardinals(w, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM))
            f.desktop_or_dock = f.desktop_or_dock || t == atom("_NET_WM_WINDOW_TYPE_DESKTOP") ||
                                t == atom("_NET_WM_WINDOW_TYPE_DOCK");
        if (managed && !f.fullscreen_state) {
            // The window manager's frame: a top edge is a title bar.
            const std::vector<std::uint32_t> extents = cardinals(w, atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL);
            f.decorated = extents.size() == 4 && extents[2] > 0;
        }
        return f;
    }

    x11_connection x_;
    bool has_screensaver_ = false;
    std::map<std::string, xcb_atom_t> atoms_;
};

class no_desktop : public desktop {
public:
    std::optional<std::int64_t> idle_seconds() override { return std::nullopt; }
    std::vector<window_facts> top_level_windows() override { return {}; }
    std::vector<QRect> screens() override { return {}; }
    std::uint64_t active_window() override { return 0; }
    void activate(std::uint64_t) override {}
};

}  // namespace

std::unique_ptr<desktop> make_desktop()
{
    if (const std::optional<x11_connection> x = current_x11_connection())
        return std::make_unique<x11_desktop>(*x);
    return std::make_unique<no_desktop>();
}

}  // namespace qm::platform
