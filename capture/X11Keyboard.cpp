#include "X11Keyboard.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

// Windows virtual-key codes of the keys we watch, with their X keysyms.
KeySym keySymFor(int virtualKey)
{
    switch (virtualKey) {
    case 0x91: // VK_SCROLL
        return XK_Scroll_Lock;
    default:
        return NoSymbol;
    }
}

} // namespace

X11Keyboard::~X11Keyboard()
{
    if (display)
        XCloseDisplay(display);
}

bool X11Keyboard::open(const char *displayName)
{
    if (display)
        return true;
    display = XOpenDisplay(displayName && *displayName ? displayName : nullptr);
    return display != nullptr;
}

bool X11Keyboard::isVirtualKeyDown(int virtualKey)
{
    if (!display)
        return false;
    const KeySym symbol = keySymFor(virtualKey);
    if (symbol == NoSymbol)
        return false;
    // The server sends every client a MappingNotify when the keyboard
    // mapping changes (another layout, a new keyboard), whether asked for or
    // not. Nothing else arrives on this connection; reading them keeps Xlib's
    // key code table current and its queue empty.
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MappingNotify)
            XRefreshKeyboardMapping(&event.xmapping);
    }
    const KeyCode code = XKeysymToKeycode(display, symbol);
    if (code == 0)
        return false;
    // One bit per key code, key code k at bit k % 8 of byte k / 8. A round
    // trip to the server, so this is the state now, not a queued event.
    char keys[32] = {};
    XQueryKeymap(display, keys);
    return (static_cast<unsigned char>(keys[code / 8]) >> (code % 8)) & 1u;
}
