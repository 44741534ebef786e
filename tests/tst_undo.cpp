#include "AuctionRows.h"
#include "FindBar.h"
#include "LedgerDocument.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "NameSearch.h"
#include "Prompt.h"
#include "QRegister.h"
#include "TestSupport.h"
#include "TotalsBar.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QWindow>
#include <QtTest>

// Undo and redo of what a player does to the ledger, in random sequences
// through the window: after every step the table shows exactly the store's
// items, and undoing everything gives back the ledger as it was opened.
class UndoTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { releaseAll(); }

    void randomSequences_data();
    void randomSequences();
    void deleteComesBackInItsRow();
    void restoredItemTakesTheSettingsInForce();
    void editNamesItsField_data();
    void editNamesItsField();
    void openingEmptiesTheHistory();
    void openingWithARefusedRatioIsUnsaved();

private:
    struct Entry
    {
        int32_t id;
        QByteArray name;
        int32_t cashPrice;
        int64_t mesoPrice;
        bool isUseMileage;
        bool operator==(const Entry &other) const
        {
            return id == other.id && name == other.name && cashPrice == other.cashPrice
                && mesoPrice == other.mesoPrice && isUseMileage == other.isUseMileage;
        }
    };
    static QList<Entry> ledger();
    QString rowsDisagree() const;

    void registerItem(QRandomGenerator &random);
    void deleteRow(QRandomGenerator &random);
    void editCell(QRandomGenerator &random);
    // Double-clicks the cell, types `text` over it and presses Return.
    void typeIntoCell(int row, int column, const QString &text);
    void deleteRowAt(int row);
    bool pressKeys(int key, Qt::KeyboardModifiers modifiers);
    QAction *editAction(int index) const;
};

void UndoTest::init()
{
    folder.reset(new PortableFolder);
    window = exposed(windowFromIdZero());
    QVERIFY(window);
    // A ledger opened from a file: the history starts empty and clean.
    const QString path = folder->path(QStringLiteral("start.json"));
    folder->writeFile(QStringLiteral("start.json"),
                      "{\"rate\":2500,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":["
                      "{\"name\":\"a\",\"cashPrice\":10000,\"mesoPrice\":300000000,\"isUseMileage\":true},"
                      "{\"name\":\"b\",\"cashPrice\":5900,\"mesoPrice\":40000000,\"isUseMileage\":false},"
                      "{\"name\":\"c\",\"cashPrice\":3300,\"mesoPrice\":150000000,\"isUseMileage\":true}]}");
    QVERIFY(window->loadLedgerFrom(path));
    QVERIFY(!window->document()->isModified());
}

QList<UndoTest::Entry> UndoTest::ledger()
{
    QList<Entry> entries;
    for (const auto &pair : LedgerStore::instance().items())
        entries.append({pair.first, pair.second.name, pair.second.cashPrice, pair.second.mesoPrice,
                        pair.second.isUseMileage});
    return entries;
}

// Empty when every row shows one item of the store as a fresh row would
// (the cash column may show plain digits after a discount change), and
// every item has its row.
QString UndoTest::rowsDisagree() const
{
    const LedgerStore &store = LedgerStore::instance();
    QTableWidget *table = window->table();
    if (size_t(table->rowCount()) != store.items().size())
        return QStringLiteral("%1 rows for %2 items").arg(table->rowCount()).arg(store.items().size());
    QSet<int32_t> seen;
    for (int row = 0; row < table->rowCount(); ++row) {
        const int32_t id = cellText(window, row, AuctionRows::KeyColumn).toInt();
        const AuctionItem *item = store.findItem(id);
        if (!item || seen.contains(id))
            return QStringLiteral("row %1 shows id %2, which is not one item").arg(row).arg(id);
        seen.insert(id);
        for (int column = 1; column < AuctionRows::columnCount; ++column) {
            QString shown = cellText(window, row, column);
            QString expected = AuctionRows::cellText(column, id, *item);
            if (column == AuctionRows::CashColumn) {
                shown.remove(QLatin1Char(','));
                expected.remove(QLatin1Char(','));
            }
            if (shown != expected)
                return QStringLiteral("row %1 column %2 shows '%3', the item has '%4'")
                    .arg(row).arg(column).arg(shown, expected);
            // The sign colour of the figure the item has, none when it has none.
            const QVariant colour = table->item(row, column)->data(Qt::ForegroundRole);
            const bool profit = column == AuctionRows::ProfitMesoColumn || column == AuctionRows::ProfitWonColumn;
            if (colour.isValid() != (profit && !expected.isEmpty())
                || (colour.isValid() && colour.value<QBrush>().color() != AuctionRows::signColour(expected.remove(QLatin1Char(',')).toLongLong())))
                return QStringLiteral("row %1 column %2 is coloured wrongly for '%3'").arg(row).arg(column).arg(expected);
        }
    }
    // The totals are the sums of the columns as the rows show them.
    qint64 paid = 0, profitMeso = 0, profitWon = 0, undefined = 0;
    for (int row = 0; row < table->rowCount(); ++row) {
        paid += cellText(window, row, AuctionRows::CashColumn).remove(QLatin1Char(',')).toLongLong();
        const QString meso = cellText(window, row, AuctionRows::ProfitMesoColumn).remove(QLatin1Char(','));
        profitMeso += meso.toLongLong();
        profitWon += cellText(window, row, AuctionRows::ProfitWonColumn).remove(QLatin1Char(',')).toLongLong();
        undefined += meso.isEmpty() ? 1 : 0;
    }
    const LedgerTotals &totals = window->document()->totals();
    if (totals.itemCount() != table->rowCount() || totals.wonPaid() != paid || totals.profitMeso() != profitMeso
        || totals.profitWon() != profitWon || totals.undefinedMesoCount() != undefined)
        return QStringLiteral("totals %1 for rows adding up to %2 items, %3 won paid, %4 / %5 profit, %6 undefined")
            .arg(totals.summary()).arg(table->rowCount()).arg(paid).arg(profitMeso).arg(profitWon).arg(undefined);
    // What the bar draws: the whole line, or its end when the window is too
    // narrow for it; while a search hides rows, the totals of those shown.
    LedgerTotals found;
    for (int row = 0; row < table->rowCount(); ++row)
        if (!table->isRowHidden(row))
            found.add(*store.findItem(cellText(window, row, AuctionRows::KeyColumn).toInt()));
    const bool searching = !window->findChild<FindBar *>()->field()->text().isEmpty();
    if (searching)
        found.setFoundAmong(table->rowCount());
    const QString line = searching ? found.summary() : totals.summary();
    const auto *bar = window->findChild<TotalsBar *>(QStringLiteral("totalsBar"));
    const QString shown = bar->shownText();
    if (bar->isShortened() ? !line.endsWith(shown) : shown != line)
        return QStringLiteral("the status line reads '%1', not '%2'").arg(shown, line);
    return QString();
}

QAction *UndoTest::editAction(int index) const
{
    return window->menuBar()->actions().at(1)->menu()->actions().at(index);
}

bool UndoTest::pressKeys(int key, Qt::KeyboardModifiers modifiers)
{
    // The registration dialog closes; the window has the keyboard again.
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    window->table()->setFocus();
    QTest::keyClick(window->table(), Qt::Key(key), modifiers);
    return true;
}

void UndoTest::registerItem(QRandomGenerator &random)
{
    QTest::mouseClick(child<QPushButton>(window, "pushButton"), Qt::LeftButton);
    QRegister *dialog = registerDialog();
    dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("item %1").arg(random.bounded(1000)));
    dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->setText(QString::number(1 + random.bounded(50000)));
    dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_3"))
        ->setText(QString::number(1 + random.bounded(900000000)));
    dialog->findChild<QCheckBox *>(QStringLiteral("checkBox"))->setChecked(random.bounded(2) == 1);
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
}

void UndoTest::deleteRow(QRandomGenerator &random)
{
    QTableWidget *table = window->table();
    // A row the player can see.
    const int row = table->rowCount() > 0 ? random.bounded(table->rowCount()) : -1;
    if (row >= 0 && !table->isRowHidden(row))
        table->setCurrentCell(row, AuctionRows::NameColumn);
    QTest::mouseClick(child<QPushButton>(window, "pushButton_5"), Qt::LeftButton);
    Prompt::takeMessages();
}

void UndoTest::editCell(QRandomGenerator &random)
{
    QTableWidget *table = window->table();
    if (table->rowCount() == 0)
        return;
    const int row = random.bounded(table->rowCount());
    const int column = AuctionRows::NameColumn + random.bounded(3);
    const QString texts[] = {QStringLiteral("renamed %1").arg(random.bounded(100)),
                             QString::number(1 + random.bounded(90000)),
                             QStringLiteral("%1,000").arg(1 + random.bounded(900000)),
                             QStringLiteral("0"), QStringLiteral("12a"), QString()};
    typeIntoCell(row, column, texts[random.bounded(6)]);
    // Refusals are the edit tests' business.
    Prompt::takeMessages();
}

void UndoTest::typeIntoCell(int row, int column, const QString &text)
{
    QTableWidget *table = window->table();
    table->scrollToItem(table->item(row, column));
    const QPoint centre = table->visualItemRect(table->item(row, column)).center();
    // What the system delivers for a double click.
    QTest::mousePress(table->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    auto *editor = qobject_cast<QLineEdit *>(table->indexWidget(table->model()->index(row, column)));
    if (!editor)
        return;
    editor->selectAll();
    editor->insert(text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!table->indexWidget(table->model()->index(row, column)));
}

void UndoTest::deleteRowAt(int row)
{
    window->table()->setCurrentCell(row, AuctionRows::NameColumn);
    QTest::mouseClick(child<QPushButton>(window, "pushButton_5"), Qt::LeftButton);
}

void UndoTest::randomSequences_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 3u, 4u})
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void UndoTest::randomSequences()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QList<Entry> opened = ledger();
    QUndoStack &history = window->document()->undoStack();
    int changes = 0;

    for (int step = 0; step < 120; ++step) {
        const int indexBefore = history.index();
        const QList<Entry> before = ledger();
        const int action = random.bounded(10);
        QString what;
        switch (action) {
        case 0:
        case 1:
            what = QStringLiteral("register");
            registerItem(random);
            break;
        case 2:
            what = QStringLiteral("delete");
            deleteRow(random);
            break;
        case 3:
        case 4:
            what = QStringLiteral("edit");
            editCell(random);
            break;
        case 5:
        case 6:
            what = QStringLiteral("undo");
            QVERIFY(pressKeys(Qt::Key_Z, Qt::ControlModifier));
            break;
        case 7:
            what = QStringLiteral("redo");
            if (random.bounded(2))
                QVERIFY(pressKeys(Qt::Key_Y, Qt::ControlModifier));
            else
                QVERIFY(pressKeys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier));
            break;
        case 8:
            if (random.bounded(3) == 0) {
                // A search, which only hides rows.
                what = QStringLiteral("search");
                auto *bar = window->findChild<FindBar *>();
                bar->open();
                const QString texts[] = {QStringLiteral("item 1"), QStringLiteral("ren"), QStringLiteral("3"), QString()};
                const QString text = texts[random.bounded(4)];
                bar->field()->setText(text);
                bar->applyNow();
                // Right after a search, the rows shown are those it finds.
                const NameSearch wanted(text);
                for (int row = 0; row < window->table()->rowCount(); ++row)
                    QVERIFY2(window->table()->isRowHidden(row) != wanted.matches(cellText(window, row, 1)),
                             qPrintable(QStringLiteral("step %1: '%2' and '%3'").arg(step).arg(text, cellText(window, row, 1))));
                break;
            }
            what = QStringLiteral("sort");
            if (random.bounded(2)) {
                QTest::mouseClick(child<QPushButton>(window, "pushButton_2"), Qt::LeftButton);
                Prompt::takeMessages();
            } else {
                QHeaderView *header = window->table()->horizontalHeader();
                const int column = 1 + random.bounded(AuctionRows::columnCount - 1);
                QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                                  QPoint(header->sectionViewportPosition(column) + 3, header->height() / 2));
            }
            break;
        default:
            what = QStringLiteral("settings");
            if (random.bounded(3) == 0) {
                clickButton(child<QPushButton>(window, "pushButton_4"));
                child<QLineEdit>(window, "lineEdit")->setText(QString::number(1 + random.bounded(5000)));
                clickButton(child<QPushButton>(window, "pushButton_3"));
            } else if (random.bounded(2)) {
                clickButton(child<QRadioButton>(window, random.bounded(2) ? "radioButton" : "radioButton_2"));
            } else {
                child<QDoubleSpinBox>(window, "doubleSpinBox")->setValue(random.bounded(40) * 0.5);
            }
            break;
        }
        changes += history.index() != indexBefore || ledger() != before ? 1 : 0;
        const QString problem = rowsDisagree();
        QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("step %1 (%2): %3").arg(step).arg(what, problem)));
        QCOMPARE(editAction(0)->isEnabled(), history.canUndo());
        QCOMPARE(editAction(1)->isEnabled(), history.canRedo());
        // The title's mark follows what a save would change.
        QCOMPARE(window->isWindowModified(), window->document()->isModified());
    }

    // Many steps change something; a sequence of no-ops would prove nothing.
    QVERIFY2(changes > 30, qPrintable(QString::number(changes)));
    const QList<Entry> reached = ledger();
    const int reachedIndex = history.index();
    while (editAction(0)->isEnabled())
        editAction(0)->trigger();
    QCOMPARE(ledger(), opened);
    QVERIFY2(rowsDisagree().isEmpty(), qPrintable(rowsDisagree()));
    QVERIFY(history.isClean());
    // Redo up to where the sequence had come (it may have ended in undos).
    while (history.index() < reachedIndex && editAction(1)->isEnabled())
        editAction(1)->trigger();
    QCOMPARE(ledger(), reached);
    QVERIFY2(rowsDisagree().isEmpty(), qPrintable(rowsDisagree()));
}

// The row a deleted item comes back to, also after a sort and more deletes.
void UndoTest::deleteComesBackInItsRow()
{
    QTableWidget *table = window->table();
    // Rows: c, b, a (ids 2, 1, 0).
    table->setCurrentCell(1, AuctionRows::NameColumn);
    QTest::mouseClick(child<QPushButton>(window, "pushButton_5"), Qt::LeftButton);
    QCOMPARE(table->rowCount(), 2);
    QVERIFY(window->document()->isModified());
    // What the title bar shows: the file's name and the modified mark.
    const QString title = QString::fromUtf8("start.json - Pelarin 유틸리티(ver1.53)");
    QCOMPARE(window->windowHandle()->title(), title + QLatin1Char('*'));
    QCOMPARE(editAction(0)->text(), QString::fromUtf8("실행 취소: 아이템 삭제 'b'"));
    editAction(0)->trigger();
    QCOMPARE(cellText(window, 1, AuctionRows::KeyColumn), QStringLiteral("1"));
    QCOMPARE(cellText(window, 1, AuctionRows::NameColumn), QStringLiteral("b"));
    // Back to the state of the file: nothing unsaved, the title as opened.
    QVERIFY(!window->document()->isModified());
    QCOMPARE(window->windowHandle()->title(), title);

    // Deleted from the bottom row, then two more rows go: it comes back at
    // the bottom of what is left.
    table->setCurrentCell(2, AuctionRows::NameColumn);
    QTest::mouseClick(child<QPushButton>(window, "pushButton_5"), Qt::LeftButton);
    for (int i = 0; i < 2; ++i) {
        table->setCurrentCell(0, AuctionRows::NameColumn);
        QTest::mouseClick(child<QPushButton>(window, "pushButton_5"), Qt::LeftButton);
    }
    QCOMPARE(table->rowCount(), 0);
    editAction(0)->trigger();
    editAction(0)->trigger();
    QCOMPARE(table->rowCount(), 2);
    editAction(0)->trigger();
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(cellText(window, 2, AuctionRows::NameColumn), QStringLiteral("a"));
    QVERIFY(rowsDisagree().isEmpty());
}

// A deleted item comes back on the ratio, fee and discount in force when it
// is undone, as every other item is.
void UndoTest::restoredItemTakesTheSettingsInForce()
{
    deleteRowAt(0); // c, id 2
    clickButton(child<QRadioButton>(window, "radioButton_2"));
    child<QDoubleSpinBox>(window, "doubleSpinBox")->setValue(10);
    editAction(0)->trigger();
    const AuctionItem &item = LedgerStore::instance().item(2);
    QCOMPARE(item.fee, 3);
    QCOMPARE(item.rateOfDiscount, 10.0);
    QCOMPARE(cellText(window, 0, AuctionRows::FeeColumn), QStringLiteral("3"));
    QVERIFY2(rowsDisagree().isEmpty(), qPrintable(rowsDisagree()));
}

// What "편집" says it will undo names the field that was edited.
void UndoTest::editNamesItsField_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("name") << int(AuctionRows::NameColumn) << QStringLiteral("d")
                          << QString::fromUtf8("실행 취소: 이름 변경 'c'");
    QTest::newRow("cash price") << int(AuctionRows::CashColumn) << QStringLiteral("4,400")
                                << QString::fromUtf8("실행 취소: 캐시 가격 변경 'c'");
    QTest::newRow("meso price") << int(AuctionRows::MesoColumn) << QStringLiteral("160000000")
                                << QString::fromUtf8("실행 취소: 메소 가격 변경 'c'");
}

void UndoTest::editNamesItsField()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, undoText);
    typeIntoCell(0, column, typed);
    QVERIFY(Prompt::takeMessages().isEmpty());
    QCOMPARE(editAction(0)->text(), undoText);
    editAction(0)->trigger();
    QCOMPARE(ledger(), QList<Entry>({{0, "a", 10000, 300000000, true}, {1, "b", 5900, 40000000, false},
                                     {2, "c", 3300, 150000000, true}}));
    QVERIFY2(rowsDisagree().isEmpty(), qPrintable(rowsDisagree()));
}

// A ledger opened over a table its rows were deleted from has a history of
// its own: an undo cannot bring a deleted item into it.
void UndoTest::openingEmptiesTheHistory()
{
    for (int i = 0; i < 3; ++i)
        deleteRowAt(0);
    QCOMPARE(window->table()->rowCount(), 0);
    QVERIFY(window->document()->undoStack().canUndo());
    folder->writeFile(QStringLiteral("other.json"),
                      "{\"rate\":2500,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":["
                      "{\"name\":\"d\",\"cashPrice\":1000,\"mesoPrice\":9000000,\"isUseMileage\":false}]}");
    QVERIFY(window->loadLedgerFrom(folder->path(QStringLiteral("other.json"))));
    QVERIFY(pressKeys(Qt::Key_Z, Qt::ControlModifier));
    QCOMPARE(ledger().size(), 1);
    QCOMPARE(ledger().first().name, QByteArray("d"));
    QVERIFY(!editAction(0)->isEnabled());
    QVERIFY(!window->document()->isModified());
}

// A file whose ratio is refused leaves the ratio in force, which is not the
// file's: a save would write another ratio, so the ledger is unsaved.
void UndoTest::openingWithARefusedRatioIsUnsaved()
{
    folder->writeFile(QStringLiteral("no ratio.json"),
                      "{\"rate\":0,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":["
                      "{\"name\":\"d\",\"cashPrice\":1000,\"mesoPrice\":9000000,\"isUseMileage\":false}]}");
    Prompt::queueAnswer(true); // the items in the table go
    QVERIFY(window->loadLedgerFrom(folder->path(QStringLiteral("no ratio.json"))));
    QCOMPARE(Prompt::takeMessages().size(), 1);
    QCOMPARE(LedgerStore::instance().rate, 2500);
    QVERIFY(window->document()->isModified());
    QVERIFY(window->isWindowModified());
}

QTEST_MAIN(UndoTest)
#include "tst_undo.moc"
