#include "KeyPlatforms.h"

#include <QGuiApplication>
#include <QString>

std::unique_ptr<KeyPlatform> createKeyPlatform()
{
#if defined(PELARIN_WINDOWS_KEYBOARD)
    return createWindowsKeyPlatform();
#else
#if defined(PELARIN_X11_KEYBOARD)
    // Only when Qt itself draws on X: under Wayland or offscreen an X
    // connection, even if one could be opened, would see another keyboard.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto platform = createX11KeyPlatform())
            return platform;
    }
#endif
    return createEventKeyPlatform();
#endif
}
