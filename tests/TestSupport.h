#pragma once

#include "MainWindow.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QAbstractButton;
class QRegister;

// A throw-away portable folder: while it lives PELARIN_HOME names it, so the
// program's catalogue, ledgers and screenshots are found inside <root>, not
// around the test program. The working directory is left alone.
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
    QByteArray m_previousHome;
    bool m_hadHome;
};

// A test class whose tests make a portable folder and a window; its
// cleanup() slot calls releaseAll().
class WindowTest : public QObject
{
protected:
    // Releases the window, the store and the folder.
    void releaseAll();

    std::unique_ptr<PortableFolder> folder;
    MainWindow *window = nullptr;
};

// A freshly built and initialised main window (any earlier one released),
// with every message box and file dialog scripted.
MainWindow *freshWindow();
// A fresh window whose first item gets id 0, as in a new process. The id
// counter outlives the store on purpose, so earlier tests in the same
// process would shift it.
MainWindow *windowFromIdZero();
// Shows the window and waits until it is exposed; null when there is no
// window or it never gets exposed.
MainWindow *exposed(MainWindow *window);
// Releases the window and the store.
void releaseWindow();
// The registration dialog that the store owns.
QRegister *registerDialog();

// A control of the window's form by object name. The registration dialog is
// also a child of the window and reuses some of the form's object names, so
// form widgets are looked up in the central widget.
template <typename T>
T *child(MainWindow *window, const char *name)
{
    return window->centralWidget()->findChild<T *>(QString::fromLatin1(name));
}

// Clicks a button with the mouse where a user would: a radio button or a
// check box on its indicator (on some platforms the middle of the widget
// lies beside its clickable part), any other button in its middle.
void clickButton(QAbstractButton *button);
// Sets the ratio through the field and the "세팅" button.
void setRatio(MainWindow *window, int rate);
// The text of a table cell, or a null string when there is none.
QString cellText(MainWindow *window, int row, int column);
// Everything the user can see or do with the table: its size, current row
// and selection, one line per cell (text, alignment, flags, colours), and
// the column widths.
QStringList tableSnapshot(MainWindow *window);
