#include "QtTranslation.h"

#include <QLibraryInfo>

// The Qt the program runs on keeps its translations in a folder of its own
// (/usr/share/qt5/translations on Debian).
QString qtTranslationFolder()
{
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
}
