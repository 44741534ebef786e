#include "WindowsKeyboard.h"

#include <windows.h>

bool windowsProgramHasFocus()
{
    // GetFocus only answers for windows of the calling thread, so a focus
    // held by another program reads as null.
    return GetFocus() != nullptr;
}

bool windowsKeyDown(int virtualKey)
{
    // Bit 15 is the state at this moment; bit 0 ("pressed since the last
    // call") is shared with every other caller and means nothing to us.
    return (static_cast<unsigned short>(GetAsyncKeyState(virtualKey)) & 0x8000u) != 0;
}
