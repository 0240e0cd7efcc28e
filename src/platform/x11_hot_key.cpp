// The hot key on X11: a passive grab of the key on the root window, once for
// every state of NumLock, CapsLock and ScrollLock, so that the combination
// works whichever of them is on. Qt's event stream brings the presses; a
// native event filter picks ours out.

#include "platform/hot_key.h"
#include "platform/x11_connection.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

namespace qm::platform {
namespace {

std::uint16_t mask_of_keysym(Display* display, KeySym sym)
{
    const KeyCode code = XKeysymToKeycode(display, sym);
    if (code == 0)
        return 0;
    XModifierKeymap* map = XGetModifierMapping(display);
    if (map == nullptr)
        return 0;
    std::uint16_t mask = 0;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int k = 0; k < map->max_keypermod; ++k)
            if (map->modifiermap[modifier * map->max_keypermod + k] == code)
                mask = static_cast<std::uint16_t>(1u << modifier);
    XFreeModifiermap(map);
    return mask;
}

class x11_hot_key : public hot_key, public QAbstractNativeEventFilter {
public:
    explicit x11_hot_key(x11_connection x) : x_(x)
    {
        num_lock_ = mask_of_keysym(x_.display, XK_Num_Lock);
        scroll_lock_ = mask_of_keysym(x_.display, XK_Scroll_Lock);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~x11_hot_key() override
    {
        if (QCoreApplication::instance() != nullptr)
            QCoreApplication::instance()->removeNativeEventFilter(this);
        release();
    }

    grab_result grab(int modifiers, int virtual_key) override
    {
        release();
        const std::uint32_t sym = keysym_of_virtual_key(virtual_key);
        const KeyCode code = sym != 0 ? XKeysymToKeycode(x_.display, sym) : 0;
        if (code == 0)
            return grab_result::unknown_key;
        const std::uint16_t mods = x_modifier_mask(modifiers);
        std::vector<xcb_void_cookie_t> cookies;
        for (std::uint16_t locks : lock_states())
            cookies.push_back(xcb_grab_key_checked(x_.connection, 1, x_.root, mods | locks, code,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        bool refused = false;
        for (xcb_void_cookie_t cookie : cookies)
            if (xcb_generic_error_t* error = xcb_request_check(x_.connection, cookie)) {
                refused = true;  // BadAccess: another client holds it
                std::free(error);
            }
        code_ = code;
        mods_ = mods;
        if (refused) {
            release();
            return grab_result::refused;
        }
        grabbed_ = true;
        return grab_result::grabbed;
    }

    void release() override
    {
        if (code_ == 0)
            return;
        for (std::uint16_t locks : lock_states())
            xcb_ungrab_key(x_.connection, code_, x_.root, mods_ | locks);
        xcb_flush(x_.connection);
        code_ = 0;
        grabbed_ = false;
    }

    bool grabbed() const override { return grabbed_; }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (!grabbed_ || type != "xcb_generic_event_t")
            return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
            return false;
        auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
        const std::uint16_t held = press->state & ~(LockMask | num_lock_ | scroll_lock_) & 0xff;
        if (press->detail != code_ || held != mods_ || press->event != x_.root)
            return false;
        // Not from inside the event dispatch: the handler opens windows.
        QTimer::singleShot(0, &context_, [this] {
            if (pressed)
                pressed();
        });
        return true;
    }

private:
    std::vector<std::uint16_t> lock_states() const
    {
        std::vector<std::uint16_t> states;
        const std::uint16_t locks[] = {static_cast<std::uint16_t>(LockMask), num_lock_, scroll_lock_};
        for (unsigned combination = 0; combination < 8; ++combination) {
            std::uint16_t m = 0;
            bool usable = true;
            for (unsigned bit = 0; bit < 3; ++bit)
                if (combination & (1u << bit)) {
                    usable = usable && locks[bit] != 0;
                    m |= locks[bit];
                }
            if (usable)
                states.push_back(m);
        }
        return states;
    }

    x11_connection x_;
    std::uint16_t num_lock_ = 0;
    std::uint16_t scroll_lock_ = 0;
    KeyCode code_ = 0;
    std::uint16_t mods_ = 0;
    bool grabbed_ = false;
    QObject context_;
};

class no_hot_key : public hot_key {
public:
    grab_result grab(int, int) override { return grab_result::unsupported; }
    void release() override {}
    bool grabbed() const override { return false; }
};

}  // namespace

std::unique_ptr<hot_key> make_hot_key()
{
    if (const std::optional<x11_connection> x = current_x11_connection())
        return std::make_unique<x11_hot_key>(*x);
    return std::make_unique<no_hot_key>();
}

}  // namespace qm::platform
