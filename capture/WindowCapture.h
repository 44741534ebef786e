#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

namespace WindowCapture {

// Folder of the screenshots, relative to the working directory.
extern const char screenshotDirectory[];

// "../Screenshot/yyyyMMddhhmmss.png", or with "_1", "_2", ... before the
// suffix when a file of that name already exists.
QString fileNameFor(const QDateTime &time, const QString &directory = QString::fromLatin1(screenshotDirectory));

// Saves the window as it is shown on screen; the path written, or empty.
QString captureWindow(QWidget *window, const QDateTime &time);

} // namespace WindowCapture
