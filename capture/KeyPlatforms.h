#pragma once

#include "KeyStatePoller.h"

#include <memory>

// The ways of reading the screenshot key. createKeyPlatform picks one; each
// is built only where it can work.

// USER32's focus and key state (Windows builds only).
std::unique_ptr<KeyPlatform> createWindowsKeyPlatform();

// The X server's keymap for the key, Qt's focus window for the focus. Null
// when the X display cannot be opened (X11 builds only).
std::unique_ptr<KeyPlatform> createX11KeyPlatform();

// Key events of the program's own windows, seen through an event filter on
// the application. Works on every platform, but only sees the key while one
// of our windows has the focus. Needs the application object.
std::unique_ptr<KeyPlatform> createEventKeyPlatform();
