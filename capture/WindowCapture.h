#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

namespace WindowCapture {

// "<directory>/yyyyMMddhhmmss.png", or with "_1", "_2", ... before the
// suffix when a file of that name already exists.
QString fileNameFor(const QDateTime &time, const QString &directory);

// Saves the window as it is shown on screen into directory, which is made
// when it is missing; the path written, or empty.
QString captureWindow(QWidget *window, const QDateTime &time, const QString &directory);

} // namespace WindowCapture
