#pragma once

// The keyboard as USER32 sees it. Plain functions so that the file that
// implements them needs nothing but <windows.h>.

// A window of the calling thread (the GUI thread) holds the keyboard focus.
bool windowsProgramHasFocus();
// The key with this virtual-key code is down at the moment of the call.
bool windowsKeyDown(int virtualKey);
