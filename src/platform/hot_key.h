#pragma once
// The global hot key: one key combination that reaches the program from
// whatever window has the focus. The combination is given as the options
// keep it (modifier bits 1 Alt, 2 Ctrl, 4 Shift, 8 Super, and a Windows
// virtual-key code). Main thread only.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace qm::platform {

enum class grab_result {
    grabbed,
    refused,      // another program holds the combination
    unknown_key,  // the key is on no key of this keyboard
    unsupported,  // the session lets no program take global keys
};

class hot_key {
public:
    virtual ~hot_key() = default;
    // Takes the combination, giving up any taken before.
    virtual grab_result grab(int modifiers, int virtual_key) = 0;
    virtual void release() = 0;
    virtual bool grabbed() const = 0;

    // Called, on the main thread, each time the combination is pressed.
    std::function<void()> pressed;
};

// The X11 grab on an X session; on any other a hot key that is unsupported.
std::unique_ptr<hot_key> make_hot_key();

// The X key symbol of a Windows virtual-key code (186 is ";"), 0 when none.
std::uint32_t keysym_of_virtual_key(int virtual_key);
// The virtual-key code of a Qt key (Qt::Key_Semicolon is 186), 0 when none.
int virtual_key_of_qt_key(int qt_key);

// The X modifier mask of the option's bits (Alt Mod1, Super Mod4).
std::uint16_t x_modifier_mask(int modifiers);

}  // namespace qm::platform
