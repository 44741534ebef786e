#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class MainWindow;

// A throw-away portable folder: <root>/bin is the working directory, so the
// program's "../Resource/..." paths land inside <root>.
class PortableFolder
{
public:
    // Writes catalogueText to Resource/CashItems.json unless it is null.
    explicit PortableFolder(const QByteArray &catalogueText = QByteArray("[]"));
    ~PortableFolder();

    QString root() const;
    QString path(const QString &relative) const;
    void writeFile(const QString &relative, const QByteArray &bytes) const;
    QByteArray readFile(const QString &relative) const;

private:
    QTemporaryDir m_dir;
    QString m_previousDirectory;
};

// A freshly built and initialised main window (any earlier one released),
// with every message box and file dialog scripted.
MainWindow *freshWindow();
// Releases the window and the store.
void releaseWindow();

// Sets the ratio through the field and the "세팅" button.
void setRatio(MainWindow *window, int rate);
// The text of a table cell, or a null string when there is none.
QString cellText(MainWindow *window, int row, int column);
