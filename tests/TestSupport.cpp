#include "TestSupport.h"

#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "Prompt.h"
#include "QRegister.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

PortableFolder::PortableFolder(const QByteArray &catalogueText)
    : m_previousHome(qgetenv("PELARIN_HOME"))
    , m_hadHome(qEnvironmentVariableIsSet("PELARIN_HOME"))
{
    QDir root(m_dir.path());
    root.mkpath(QStringLiteral("Resource"));
    if (!catalogueText.isNull())
        writeFile(QStringLiteral("Resource/CashItems.json"), catalogueText);
    qputenv("PELARIN_HOME", QFile::encodeName(root.path()));
}

PortableFolder::~PortableFolder()
{
    if (m_hadHome)
        qputenv("PELARIN_HOME", m_previousHome);
    else
        qunsetenv("PELARIN_HOME");
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

void WindowTest::releaseAll()
{
    releaseWindow();
    window = nullptr;
    folder.reset();
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

MainWindow *windowFromIdZero()
{
    MainWindow *window = freshWindow();
    if (window)
        LedgerStore::instance().clearItems();
    return window;
}

MainWindow *exposed(MainWindow *window)
{
    if (!window)
        return nullptr;
    window->show();
    return QTest::qWaitForWindowExposed(window) ? window : nullptr;
}

void releaseWindow()
{
    MainWindow::releaseInstance();
    LedgerStore::destroyInstance();
}

void clickButton(QAbstractButton *button)
{
    QPoint position = button->rect().center();
    const bool radio = qobject_cast<QRadioButton *>(button) != nullptr;
    if (radio || qobject_cast<QCheckBox *>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        position = button->style()
                       ->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator,
                                        &option, button)
                       .center();
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, position);
}

void setRatio(MainWindow *window, int rate)
{
    child<QLineEdit>(window, "lineEdit")->setText(QString::number(rate));
    QTest::mouseClick(child<QPushButton>(window, "pushButton_3"), Qt::LeftButton);
}

QString cellText(MainWindow *window, int row, int column)
{
    const QTableWidgetItem *cell = window->table()->item(row, column);
    return cell ? cell->text() : QString();
}

namespace {

QString brushText(const QVariant &data)
{
    if (!data.isValid())
        return QStringLiteral("none");
    const QBrush brush = data.value<QBrush>();
    return QStringLiteral("%1/%2").arg(brush.color().name(QColor::HexArgb)).arg(int(brush.style()));
}

} // namespace

QStringList tableSnapshot(MainWindow *window)
{
    QTableWidget *table = window->table();
    QStringList lines;
    lines << QStringLiteral("rows %1 columns %2 current %3 selected %4")
                 .arg(table->rowCount())
                 .arg(table->columnCount())
                 .arg(table->currentRow())
                 .arg(table->selectedItems().size());
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            const QTableWidgetItem *cell = table->item(row, column);
            if (!cell) {
                lines << QStringLiteral("%1,%2 no cell").arg(row).arg(column);
                continue;
            }
            lines << QStringLiteral("%1,%2 '%3' align %4 flags %5 fg %6 bg %7")
                         .arg(row)
                         .arg(column)
                         .arg(cell->text())
                         .arg(cell->textAlignment())
                         .arg(int(cell->flags()))
                         .arg(brushText(cell->data(Qt::ForegroundRole)))
                         .arg(brushText(cell->data(Qt::BackgroundRole)));
        }
    }
    for (int column = 0; column < table->columnCount(); ++column)
        lines << QStringLiteral("width %1: %2").arg(column).arg(table->columnWidth(column));
    return lines;
}

QRegister *registerDialog()
{
    return dynamic_cast<QRegister *>(LedgerStore::instance().registerDialog());
}
