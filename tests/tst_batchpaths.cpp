// The batched table paths (load, sort, and the commands that rewrite every
// row) must leave the very table the one-row-at-a-time path leaves, and a
// rewrite of every row must reach neither the cell-edit handler nor the view
// once per cell.

#include "TestSupport.h"

#include "AuctionRows.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "Prompt.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace AuctionRows;

namespace {

// A ledger in which names, prices and profits repeat, so that rows share
// cells, with one item that shows no profit in won at a large ratio.
QByteArray ledgerText(int rate, int fee, double discount)
{
    QByteArray text = "{\"rate\":" + QByteArray::number(rate) + ",\"fee\":" + QByteArray::number(fee)
        + ",\"rateOfDiscount\":" + QByteArray::number(discount) + ",\"auctionItems\":[";
    const char *const names[] = {"별빛 코디 상자", "고급 헤어 변경 쿠폰", "별빛 코디 상자", "펫 간식 꾸러미 10개",
                                 "별빛 코디 상자", "은하수 날개 (영구)", "고급 헤어 변경 쿠폰"};
    const int prices[] = {4900, 5900, 4900, 3300, 4900, 14900, 5900};
    const qint64 mesos[] = {300000000, 40000000, 300000000, 33333, 155000000, 1, 9000000000};
    for (int k = 0; k < 7; ++k) {
        text += k ? "," : "";
        text += "{\"name\":\"" + QByteArray(names[k]) + "\",\"cashPrice\":" + QByteArray::number(prices[k])
            + ",\"mesoPrice\":" + QByteArray::number(mesos[k]) + ",\"isUseMileage\":"
            + (k % 3 == 0 ? "true" : "false") + "}";
    }
    return text + "]}";
}

// A shown window, ids from 0, that has loaded ledgerText(3000, 5, 0.0)
// from folder; null when any step fails.
MainWindow *shownWithLedger(const PortableFolder &folder)
{
    folder.writeFile(QStringLiteral("ledger.json"), ledgerText(3000, 5, 0.0));
    MainWindow *window = exposed(windowFromIdZero());
    return window && window->loadLedgerFrom(folder.path(QStringLiteral("ledger.json"))) ? window : nullptr;
}

// Double-clicks a cell, types text into its editor and commits it with
// Enter, or cancels the editor with Escape when text is null.
bool editCell(MainWindow *window, int row, int column, const QString &text)
{
    QTableWidget *table = window->table();
    // The view lays out new rows when it gets to its events.
    QCoreApplication::processEvents();
    table->scrollToItem(table->item(row, column));
    const QPoint centre = table->visualItemRect(table->item(row, column)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    auto *editor = table->viewport()->findChild<QLineEdit *>();
    if (!editor || !editor->isVisible())
        return false;
    if (text.isNull()) {
        QTest::keyClick(editor, Qt::Key_Escape);
        QCoreApplication::processEvents();
        return true;
    }
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits from its event queue.
    QCoreApplication::processEvents();
    return true;
}

} // namespace

class BatchPathsTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void loadAndSortMatchSingleRows_data();
    void loadAndSortMatchSingleRows();
    void sharedCellsChangeOneAtATime();
    void rewritesNotifyOnce_data();
    void rewritesNotifyOnce();
};

void BatchPathsTest::cleanup()
{
    releaseWindow();
}

void BatchPathsTest::loadAndSortMatchSingleRows_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("fee");
    QTest::addColumn<double>("discount");

    QTest::newRow("no ratio") << 0 << 5 << 0.0;
    QTest::newRow("ratio 3000") << 3000 << 5 << 0.0;
    QTest::newRow("ratio 2700, fee 3, discount 4.5") << 2700 << 3 << 4.5;
    QTest::newRow("ratio 50,000,000: no won profit") << 50000000 << 5 << 0.0;
}

void BatchPathsTest::loadAndSortMatchSingleRows()
{
    QFETCH(int, rate);
    QFETCH(int, fee);
    QFETCH(double, discount);

    PortableFolder folder;
    folder.writeFile(QStringLiteral("ledger.json"), ledgerText(rate, fee, discount));
    const QString path = folder.path(QStringLiteral("ledger.json"));

    // After each step the batched table must be the single-row one.
    QList<QStringList> steps[2];
    for (int batched = 0; batched < 2; ++batched) {
        MainWindow *window = windowFromIdZero();
        QVERIFY(window);
        window->setRowBatchingEnabled(batched == 1);
        window->show();
        QVERIFY(window->loadLedgerFrom(path));
        steps[batched] << tableSnapshot(window);

        QPushButton *sort = child<QPushButton>(window, "pushButton_2");
        sort->click();
        steps[batched] << tableSnapshot(window);

        // Plain digits in column 2, a selected row and a deleted one: the
        // next sort starts again from fresh rows and no selection.
        child<QDoubleSpinBox>(window, "doubleSpinBox")->setValue(discount + 10.0);
        window->table()->setCurrentCell(3, NameColumn);
        child<QPushButton>(window, "pushButton_5")->click();
        window->table()->setCurrentCell(1, MesoColumn);
        sort->click();
        steps[batched] << tableSnapshot(window);

        // A second load over rows, answered with Yes.
        Prompt::queueAnswer(true);
        QVERIFY(window->loadLedgerFrom(path));
        steps[batched] << tableSnapshot(window);
        // Both paths show the same messages (a ledger without a ratio has one).
        steps[batched] << Prompt::takeMessages();
        releaseWindow();
    }
    QCOMPARE(steps[1].size(), steps[0].size());
    for (int step = 0; step < steps[0].size(); ++step)
        QCOMPARE(steps[1][step], steps[0][step]);
    // Seven rows, then six after the deletion, then seven again.
    QCOMPARE(steps[0][0].size(), 1 + 7 * 9 + 9);
    QCOMPARE(steps[0][2].size(), 1 + 6 * 9 + 9);
    QCOMPARE(steps[0][3].size(), 1 + 7 * 9 + 9);
}

// Rows of the same item name share their cells' data; a write to one of
// them must change that cell alone.
void BatchPathsTest::sharedCellsChangeOneAtATime()
{
    PortableFolder folder;
    MainWindow *window = shownWithLedger(folder);
    QVERIFY(window);
    QTableWidget *table = window->table();

    // Rows 2, 4 and 6 (ids 4, 2 and 0) carry the same name and list price.
    QCOMPARE(cellText(window, 2, NameColumn), QString::fromUtf8("별빛 코디 상자"));
    QCOMPARE(cellText(window, 6, NameColumn), QString::fromUtf8("별빛 코디 상자"));
    QVERIFY(editCell(window, 4, NameColumn, QStringLiteral("renamed")));
    QCOMPARE(cellText(window, 4, NameColumn), QStringLiteral("renamed"));
    QCOMPARE(LedgerStore::instance().item(2).name, QByteArray("renamed"));
    QCOMPARE(cellText(window, 2, NameColumn), QString::fromUtf8("별빛 코디 상자"));
    QCOMPARE(cellText(window, 6, NameColumn), QString::fromUtf8("별빛 코디 상자"));
    QCOMPARE(LedgerStore::instance().item(0).name, QByteArray("별빛 코디 상자"));

    // Rows 2 and 4 (no mileage) show the same won paid.
    QCOMPARE(cellText(window, 4, CashColumn), QStringLiteral("4,900"));
    QVERIFY(editCell(window, 2, CashColumn, QStringLiteral("10,000")));
    QCOMPARE(cellText(window, 2, CashColumn), QStringLiteral("10,000"));
    QCOMPARE(cellText(window, 4, CashColumn), QStringLiteral("4,900"));
    QCOMPARE(cellText(window, 6, CashColumn), QStringLiteral("3,430"));

    // The sort highlight colours one row's cells, not every cell like them.
    child<QPushButton>(window, "pushButton_2")->click();
    for (int row = 1; row < table->rowCount(); ++row)
        for (int column = 0; column < columnCount; ++column)
            QVERIFY2(!table->item(row, column)->data(Qt::BackgroundRole).isValid(),
                     qPrintable(QStringLiteral("row %1 column %2 is coloured").arg(row).arg(column)));
    QCOMPARE(table->item(0, FeeColumn)->background().color(), QColor(255, 255, 0));
}

void BatchPathsTest::rewritesNotifyOnce_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");

    QTest::newRow("discount") << QStringLiteral("discount") << int(CashColumn) << QStringLiteral("3087");
    QTest::newRow("fee") << QStringLiteral("fee") << int(FeeColumn) << QStringLiteral("3");
    QTest::newRow("set") << QStringLiteral("set") << int(RateColumn) << QStringLiteral("2,500");
}

void BatchPathsTest::rewritesNotifyOnce()
{
    QFETCH(QString, command);
    QFETCH(int, column);
    QFETCH(QString, expected);

    PortableFolder folder;
    MainWindow *window = shownWithLedger(folder);
    QVERIFY(window);
    // With the ratio released, setting it again rewrites every row.
    if (command == QLatin1String("set"))
        child<QPushButton>(window, "pushButton_4")->click();
    QTableWidget *table = window->table();
    const int rows = table->rowCount();
    QCOMPARE(rows, 7);

    // A price edit opened and cancelled first, as a user may leave one.
    QVERIFY(editCell(window, 0, CashColumn, QString()));
    const int32_t topId = cellText(window, 0, KeyColumn).toInt();
    const int32_t cashPrice = LedgerStore::instance().item(topId).cashPrice;

    QSignalSpy viewNotices(table->model(), &QAbstractItemModel::dataChanged);
    // Sent together with itemChanged, which reaches the cell-edit handler.
    QSignalSpy cellChanges(table, &QTableWidget::cellChanged);
    QVERIFY(cellChanges.isValid());
    if (command == QLatin1String("discount")) {
        child<QDoubleSpinBox>(window, "doubleSpinBox")->setValue(10.0);
    } else if (command == QLatin1String("fee")) {
        clickButton(child<QRadioButton>(window, "radioButton_2"));
    } else {
        setRatio(window, 2500);
    }

    QCOMPARE(cellChanges.count(), 0);
    QCOMPARE(viewNotices.count(), 1);
    const QModelIndex first = viewNotices.at(0).at(0).toModelIndex();
    const QModelIndex last = viewNotices.at(0).at(1).toModelIndex();
    QCOMPARE(first.row(), 0);
    QCOMPARE(last.row(), rows - 1);
    QVERIFY(first.column() <= column && column <= last.column());
    QVERIFY(first.column() <= ProfitMesoColumn && ProfitWonColumn <= last.column());
    // The rewrite happened, and not as a typed price.
    QCOMPARE(LedgerStore::instance().item(topId).cashPrice, cashPrice);
    QCOMPARE(cellText(window, 6, column), expected);
}

QTEST_MAIN(BatchPathsTest)
#include "tst_batchpaths.moc"
