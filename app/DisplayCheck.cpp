#include "DisplayCheck.h"

#include <QtGlobal>

#include <cstdio>

bool displayAvailable()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    std::fprintf(stderr,
                 "pelarin: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); start it on a desktop, "
                 "or without one as: xvfb-run -a ./pelarin\n");
    return false;
#else
    return true;
#endif
}
