#include "platform/hot_key.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <Qt>

namespace qm::platform {
namespace {

// The virtual-key codes that are neither letters, digits nor function keys,
// with their X key symbols and Qt keys.
struct named_key {
    int vk;
    std::uint32_t keysym;
    int qt;
};
constexpr named_key named_keys[] = {
    {0x08, XK_BackSpace, Qt::Key_Backspace}, {0x09, XK_Tab, Qt::Key_Tab},
    {0x0D, XK_Return, Qt::Key_Return},       {0x1B, XK_Escape, Qt::Key_Escape},
    {0x20, XK_space, Qt::Key_Space},         {0x21, XK_Prior, Qt::Key_PageUp},
    {0x22, XK_Next, Qt::Key_PageDown},       {0x23, XK_End, Qt::Key_End},
    {0x24, XK_Home, Qt::Key_Home},           {0x25, XK_Left, Qt::Key_Left},
    {0x26, XK_Up, Qt::Key_Up},               {0x27, XK_Right, Qt::Key_Right},
    {0x28, XK_Down, Qt::Key_Down},           {0x2D, XK_Insert, Qt::Key_Insert},
    {0x2E, XK_Delete, Qt::Key_Delete},       {0x6A, XK_KP_Multiply, Qt::Key_Asterisk},
    {0x6B, XK_KP_Add, Qt::Key_Plus},         {0x6D, XK_KP_Subtract, Qt::Key_Minus},
    {0x6F, XK_KP_Divide, Qt::Key_Slash},     {0xBA, XK_semicolon, Qt::Key_Semicolon},
    {0xBB, XK_equal, Qt::Key_Equal},         {0xBC, XK_comma, Qt::Key_Comma},
    {0xBD, XK_minus, Qt::Key_Minus},         {0xBE, XK_period, Qt::Key_Period},
    {0xBF, XK_slash, Qt::Key_Slash},         {0xC0, XK_grave, Qt::Key_QuoteLeft},
    {0xDB, XK_bracketleft, Qt::Key_BracketLeft}, {0xDC, XK_backslash, Qt::Key_Backslash},
    {0xDD, XK_bracketright, Qt::Key_BracketRight}, {0xDE, XK_apostrophe, Qt::Key_Apostrophe},
};

}  // namespace

std::uint32_t keysym_of_virtual_key(int vk)
{
    if (vk >= '0' && vk <= '9')
        return XK_0 + static_cast<std::uint32_t>(vk - '0');
    if (vk >= 'A' && vk <= 'Z')
        return XK_a + static_cast<std::uint32_t>(vk - 'A');  // the key, not the capital
    if (vk >= 0x70 && vk <= 0x87)
        return XK_F1 + static_cast<std::uint32_t>(vk - 0x70);
    if (vk >= 0x60 && vk <= 0x69)
        return XK_KP_0 + static_cast<std::uint32_t>(vk - 0x60);
    for (const named_key& k : named_keys)
        if (k.vk == vk)
            return k.keysym;
    return 0;
}

int virtual_key_of_qt_key(int key)
{
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return key;  // digits and capitals share their codes
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    if (key == Qt::Key_Enter)
        return 0x0D;
    // Shifted symbols of a US keyboard name the key they are on.
    switch (key) {
    case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Less: return 0xBC;
    case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Question: return 0xBF;
    case Qt::Key_AsciiTilde: return 0xC0;
    case Qt::Key_BraceLeft: return 0xDB;
    case Qt::Key_Bar: return 0xDC;
    case Qt::Key_BraceRight: return 0xDD;
    case Qt::Key_QuoteDbl: return 0xDE;
    default: break;
    }
    for (const named_key& k : named_keys)
        if (k.qt == key && !(k.vk >= 0x6A && k.vk <= 0x6F))  // the main keys, not the keypad's
            return k.vk;
    return 0;
}

std::uint16_t x_modifier_mask(int modifiers)
{
    std::uint16_t mask = 0;
    if (modifiers & 1)
        mask |= Mod1Mask;
    if (modifiers & 2)
        mask |= ControlMask;
    if (modifiers & 4)
        mask |= ShiftMask;
    if (modifiers & 8)
        mask |= Mod4Mask;
    return mask;
}

}  // namespace qm::platform
