#include "AppFolders.h"

#include <QCoreApplication>
#include <QDir>

namespace AppFolders {

QString root()
{
    // Read at every call: nothing keeps a folder that a test may change.
    const QString home = qEnvironmentVariable("PELARIN_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir(home).absolutePath());
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
}

QString cashItemsFile()
{
    return root() + QStringLiteral("/Resource/CashItems.json");
}

QString ledgerDirectory()
{
    return root() + QStringLiteral("/Resource/CustomDatas");
}

QString screenshotDirectory()
{
    return root() + QStringLiteral("/Screenshot");
}

QString recoveryDirectory()
{
    return root() + QStringLiteral("/Resource/Recovery");
}

} // namespace AppFolders
