#include "KeyPlatforms.h"

#include <QGuiApplication>
#include <QString>

std::unique_ptr<KeyPlatform> createKeyPlatform()
{
#if defined(PELARIN_WINDOWS_KEYBOARD)
    // GetFocus sees only native windows: on the offscreen or minimal
    // platform, where Qt makes none, the key comes from our key events.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("windows") || platform == QLatin1String("direct2d"))
        return createWindowsKeyPlatform();
    return createEventKeyPlatform();
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
