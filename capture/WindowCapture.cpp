#include "WindowCapture.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace WindowCapture {

QString fileNameFor(const QDateTime &time, const QString &directory)
{
    const QString stem = QDir(directory).filePath(time.toString(QStringLiteral("yyyyMMddhhmmss")));
    QString name = stem + QStringLiteral(".png");
    // Two captures within one second keep both pictures.
    for (int suffix = 1; QFileInfo::exists(name); ++suffix)
        name = stem + QLatin1Char('_') + QString::number(suffix) + QStringLiteral(".png");
    return name;
}

QString captureWindow(QWidget *window, const QDateTime &time, const QString &directory)
{
    if (!window)
        return QString();
    QDir().mkdir(directory);
    QScreen *screen = window->windowHandle() ? window->windowHandle()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return QString();
    const QPixmap picture = screen->grabWindow(window->winId(), 0, 0, -1, -1);
    if (picture.isNull())
        return QString();
    const QString name = fileNameFor(time, directory);
    return picture.save(name, nullptr, 100) ? name : QString();
}

} // namespace WindowCapture
