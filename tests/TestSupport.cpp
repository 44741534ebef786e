#include "TestSupport.h"

#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "Prompt.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

PortableFolder::PortableFolder(const QByteArray &catalogueText)
    : m_previousDirectory(QDir::currentPath())
{
    QDir root(m_dir.path());
    root.mkpath(QStringLiteral("bin"));
    root.mkpath(QStringLiteral("Resource"));
    if (!catalogueText.isNull())
        writeFile(QStringLiteral("Resource/CashItems.json"), catalogueText);
    QDir::setCurrent(root.filePath(QStringLiteral("bin")));
}

PortableFolder::~PortableFolder()
{
    QDir::setCurrent(m_previousDirectory);
}

QString PortableFolder::root() const
{
    return m_dir.path();
}

QString PortableFolder::path(const QString &relative) const
{
    return QDir(m_dir.path()).filePath(relative);
}

void PortableFolder::writeFile(const QString &relative, const QByteArray &bytes) const
{
    QFile file(path(relative));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path(relative)));
    file.write(bytes);
}

QByteArray PortableFolder::readFile(const QString &relative) const
{
    QFile file(path(relative));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

MainWindow *freshWindow()
{
    releaseWindow();
    Prompt::setScripted(true);
    MainWindow *window = MainWindow::instance();
    if (!window->init())
        return nullptr;
    return window;
}

void releaseWindow()
{
    MainWindow::releaseInstance();
    LedgerStore::destroyInstance();
}

void setRatio(MainWindow *window, int rate)
{
    // The registration dialog is a child of the window with its own
    // "lineEdit"; the window's controls live under the central widget.
    QWidget *controls = window->centralWidget();
    auto *field = controls->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    field->setText(QString::number(rate));
    QTest::mouseClick(controls->findChild<QPushButton *>(QStringLiteral("pushButton_3")), Qt::LeftButton);
}

QString cellText(MainWindow *window, int row, int column)
{
    const QTableWidgetItem *cell = window->table()->item(row, column);
    return cell ? cell->text() : QString();
}
