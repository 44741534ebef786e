#include "QtTranslation.h"

#include <QCoreApplication>
#include <QDir>

// The Windows program carries its Qt with it: the DLLs beside pelarin.exe,
// the translation in translations\ under the same folder. QLibraryInfo
// would name the folder Qt was built into, on another machine.
QString qtTranslationFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"));
}
