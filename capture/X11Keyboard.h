#pragma once

struct _XDisplay;

// The physical key state as the X server keeps it, on a connection of our
// own. Kept apart from Qt: Xlib's macros (None, Bool, KeyPress, ...) clash
// with Qt's names.
class X11Keyboard
{
public:
    X11Keyboard() = default;
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard &) = delete;
    X11Keyboard &operator=(const X11Keyboard &) = delete;

    // Connects to displayName, or to $DISPLAY when it is null or empty.
    bool open(const char *displayName);
    // The key with this Windows virtual-key code is down on the server now.
    // Keys without an X counterpart here read as up.
    bool isVirtualKeyDown(int virtualKey);

private:
    _XDisplay *display = nullptr;
};
