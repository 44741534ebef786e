#include "FileStamp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

FileStamp FileStamp::of(const QString &path, const QByteArray &hash)
{
    const QFileInfo info(path);
    FileStamp stamp;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
    stamp.hash = hash;
    return stamp;
}

bool FileStamp::matches(const QString &path) const
{
    const QFileInfo info(path);
    if (isNull() || !info.isFile() || info.size() != size || info.lastModified() != modified)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash now(algorithm);
    if (!now.addData(&file))
        return false;
    return now.result() == hash;
}

QString freeNameBeside(const QString &path, const QString &label, const QDateTime &when)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString stem = info.dir().filePath(info.completeBaseName() + QStringLiteral(" (") + label
                                             + QLatin1Char(' ') + when.toString(QStringLiteral("yyyy-MM-dd HH-mm")));
    QString name = stem + QLatin1Char(')') + suffix;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + QStringLiteral(" %1)").arg(n) + suffix;
    return name;
}
