#include "AppFolders.h"
#include "LedgerDocument.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "Prompt.h"
#include "RecoveryFile.h"
#include "RecoveryKeeper.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLockFile>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QtTest>

namespace {

// Every cell but the hidden id, row by row: what the player sees.
QStringList shownRows(MainWindow *window)
{
    QStringList rows;
    MyTableWidget *table = window->table();
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 1; column < table->columnCount(); ++column)
            cells << cellText(window, row, column);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QStringList recoveryFiles()
{
    return QDir(AppFolders::recoveryDirectory()).entryList(QDir::Files, QDir::Name);
}

RecoveryKeeper *keeperOf(MainWindow *window)
{
    return window->findChild<RecoveryKeeper *>();
}

} // namespace

// Unsaved work kept in Resource/Recovery and offered again at the next start.
class RecoveryTest : public WindowTest
{
    Q_OBJECT

private slots:
    void cleanup() { releaseAll(); }

    void restoresWorkAfterCrash_data();
    void restoresWorkAfterCrash();
    void damagedCopy_data();
    void damagedCopy();
    void copyOfRunningProgramIsNotOffered();
    void newerCopyFirstAndDeclinedCopyGoes();
    void copyThatCannotBeWrittenIsSaidOnce();
    void workWithoutRatioComesBackQuietly();
    void longRunOfChangesIsStillWritten();
};

void RecoveryTest::restoresWorkAfterCrash_data()
{
    QTest::addColumn<bool>("ourOwnPid");
    QTest::newRow("lock of a process that is gone") << false;
    // As Wine gives a new run the ids of runs that ended with its server.
    QTest::newRow("lock in our own process id") << true;
}

void RecoveryTest::restoresWorkAfterCrash()
{
    QFETCH(bool, ourOwnPid);
    folder.reset(new PortableFolder);
    window = freshWindow();
    QVERIFY(window);
    LedgerStore &store = LedgerStore::instance();
    setRatio(window, 1800);
    QDir().mkpath(AppFolders::ledgerDirectory());
    const QString file = folder->path(QStringLiteral("Resource/CustomDatas/mine.json"));
    QVERIFY(window->saveLedgerTo(file));
    QVERIFY(recoveryFiles().filter(QStringLiteral(".json")).isEmpty());

    clickButton(child<QRadioButton>(window, "radioButton_2"));
    child<QDoubleSpinBox>(window, "doubleSpinBox")->setValue(2.5);
    store.addItem(QByteArray("첫째"), 1000, 400000000, false);
    store.addItem(QByteArray("둘째"), 12000, 90000000, true);
    store.addItem(QByteArray("셋째"), 3300, 10000000, false);
    store.addItem(QByteArray("넷째"), 9900, 300000000, true);
    window->document()->deleteItem(store.items().begin()->first + 1);
    // Sorted, the rows no longer follow the order the items came in.
    child<QPushButton>(window, "pushButton_2")->click();
    QVERIFY(window->document()->isModified());
    const QStringList rows = shownRows(window);
    QCOMPARE(rows.size(), 3);
    QVERIFY(rows.first().startsWith(QString::fromUtf8("첫째")));
    const int64_t count = window->document()->totals().itemCount();
    const auto profitMeso = window->document()->totals().profitMeso();

    const QString copy = keeperOf(window)->copyPath();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(copy), 5000);
    QTest::qWait(300);
    // Not offered while its run is still there.
    RecoveryKeeper::offerLeftWork(window);
    QCOMPARE(Prompt::takeQuestions(), QStringList());

    // A crash leaves the copy and a lock of a process that is gone.
    const QByteArray left = folder->readFile(QStringLiteral("Resource/Recovery/") + QFileInfo(copy).fileName());
    QVERIFY(!left.isEmpty());
    releaseWindow();
    QVERIFY2(!QFile::exists(copy), "a run that ends normally leaves no copy");
    const QString relative = QStringLiteral("Resource/Recovery/") + QFileInfo(copy).fileName();
    folder->writeFile(relative, left);
    QString lock = copy;
    lock.replace(QStringLiteral(".json"), QStringLiteral(".lock"));
    // The host's name as QLockFile writes it (on Windows not the name
    // QSysInfo gives), from a lock of our own.
    QByteArray host, ours;
    {
        QLockFile probe(folder->path(QStringLiteral("probe.lock")));
        QVERIFY(probe.tryLock(0));
        QFile written(folder->path(QStringLiteral("probe.lock")));
        QVERIFY(written.open(QIODevice::ReadOnly));
        ours = written.readAll();
        host = ours.split('\n').value(2);
    }
    QFile lockFile(lock);
    QVERIFY(lockFile.open(QIODevice::WriteOnly));
    lockFile.write(ourOwnPid ? ours : "2147483000\npelarin\n" + host + "\n");
    lockFile.close();
    // A run killed with nothing unsaved left its lock and no copy.
    const QString litter = AppFolders::recoveryDirectory() + QStringLiteral("/run-9-20260101000000000.lock");
    QVERIFY(QFile::copy(lock, litter));

    window = freshWindow();
    QVERIFY(window);
    Prompt::takeQuestions();
    Prompt::queueAnswer(true);
    RecoveryKeeper::offerLeftWork(window);
    const QStringList asked = Prompt::takeQuestions();
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().contains(QDir::toNativeSeparators(file)), qPrintable(asked.first()));
    QVERIFY(asked.first().contains(QString::fromUtf8("저장하지 않은 작업")));
    QCOMPARE(Prompt::takeMessages(), QStringList());

    QCOMPARE(shownRows(window), rows);
    QCOMPARE(LedgerStore::instance().rate, 1800);
    QCOMPARE(LedgerStore::instance().fee, 3);
    QCOMPARE(LedgerStore::instance().rateOfDiscount, 2.5);
    QCOMPARE(window->document()->totals().itemCount(), count);
    QVERIFY(window->document()->totals().profitMeso() == profitMeso);
    QVERIFY(window->document()->isModified());
    QVERIFY(window->isWindowModified());
    QVERIFY(window->windowTitle().startsWith(QStringLiteral("mine.json - ")));
    QCOMPARE(window->document()->filePath(), file);
    // The old copy is gone and this run keeps its own; the lock without a
    // copy is gone too.
    QVERIFY(!QFile::exists(copy));
    QVERIFY(!QFile::exists(litter));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(keeperOf(window)->copyPath()), 5000);

    // Saved, nothing is left to recover.
    QVERIFY(window->saveLedgerTo(file));
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(keeperOf(window)->copyPath()), 3000);
    releaseWindow();
    QCOMPARE(recoveryFiles(), QStringList());
}

void RecoveryTest::damagedCopy_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("cut short") << QByteArray("{\"rate\":1800,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[{\"name\":\"a");
    QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0garbage", 16);
    QTest::newRow("later version")
        << QByteArray("{\"rate\":1800,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[],\"file\":\"\","
                      "\"savedAt\":\"2026-01-01T00:00:00.000Z\",\"version\":2}");
}

void RecoveryTest::damagedCopy()
{
    QFETCH(QByteArray, text);
    folder.reset(new PortableFolder);
    QDir().mkpath(AppFolders::recoveryDirectory());
    folder->writeFile(QStringLiteral("Resource/Recovery/run-1-20260101000000000.json"), text);
    window = freshWindow();
    QVERIFY(window);
    Prompt::queueAnswer(true);
    RecoveryKeeper::offerLeftWork(window);
    QCOMPARE(Prompt::takeQuestions(), QStringList());
    const QStringList said = Prompt::takeMessages();
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().contains(QString::fromUtf8("복구하지 못했습니다")), qPrintable(said.first()));
    QCOMPARE(window->table()->rowCount(), 0);
    QVERIFY(!window->document()->isModified());
    QVERIFY(recoveryFiles().contains(QStringLiteral("run-1-20260101000000000.json.damaged")));
    QCOMPARE(folder->readFile(QStringLiteral("Resource/Recovery/run-1-20260101000000000.json.damaged")), text);
    QVERIFY(!recoveryFiles().contains(QStringLiteral("run-1-20260101000000000.json")));
}

void RecoveryTest::copyOfRunningProgramIsNotOffered()
{
    folder.reset(new PortableFolder);
    const QString copy = AppFolders::recoveryDirectory() + QStringLiteral("/run-2-20260101000000000.json");
    QDir().mkpath(AppFolders::recoveryDirectory());
    RecoveryFile::Snapshot other;
    other.rate = 2000;
    AuctionItem item;
    item.name = "다른 프로그램";
    item.cashPrice = 1000;
    item.mesoPrice = 5000000;
    other.rows.push_back(item);
    other.savedAt = QDateTime::currentDateTimeUtc();
    QVERIFY(RecoveryFile::write(other, copy));

    // Another program that is still running holds its lock.
    QLockFile running(AppFolders::recoveryDirectory() + QStringLiteral("/run-2-20260101000000000.lock"));
    running.setStaleLockTime(0);
    QVERIFY(running.tryLock(0));

    window = freshWindow();
    QVERIFY(window);
    Prompt::queueAnswer(true);
    RecoveryKeeper::offerLeftWork(window);
    QCOMPARE(Prompt::takeQuestions(), QStringList());
    QCOMPARE(window->table()->rowCount(), 0);
    QVERIFY(QFile::exists(copy));

    // Once that program has ended, its work is offered.
    running.unlock();
    RecoveryKeeper::offerLeftWork(window);
    QCOMPARE(Prompt::takeQuestions().size(), 1);
    QCOMPARE(window->table()->rowCount(), 1);
}

// Of two crashed runs' copies the newer is offered first; a copy declined
// ("버리기") goes for good.
void RecoveryTest::newerCopyFirstAndDeclinedCopyGoes()
{
    folder.reset(new PortableFolder);
    QDir().mkpath(AppFolders::recoveryDirectory());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // The older copy comes first by name.
    for (const QString &name : {QStringLiteral("older"), QStringLiteral("newer")}) {
        RecoveryFile::Snapshot left;
        left.rate = 2000;
        left.filePath = folder->path(name + QStringLiteral(".json"));
        left.savedAt = now.addSecs(name == QLatin1String("older") ? -3600 : 0);
        AuctionItem item;
        item.name = name.toUtf8();
        item.cashPrice = 1000;
        item.mesoPrice = 5000000;
        left.rows.push_back(item);
        const QString copy = AppFolders::recoveryDirectory()
            + (name == QLatin1String("older") ? QStringLiteral("/run-1-1.json") : QStringLiteral("/run-2-2.json"));
        QVERIFY(RecoveryFile::write(left, copy));
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(left.savedAt, QFileDevice::FileModificationTime));
    }
    window = freshWindow();
    QVERIFY(window);
    Prompt::queueAnswer(true);
    RecoveryKeeper::offerLeftWork(window);
    QStringList asked = Prompt::takeQuestions();
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().contains(QStringLiteral("newer.json")), qPrintable(asked.first()));
    QCOMPARE(cellText(window, 0, 1), QStringLiteral("newer"));

    Prompt::queueAnswer(false);
    RecoveryKeeper::offerLeftWork(window);
    asked = Prompt::takeQuestions();
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().contains(QStringLiteral("older.json")), qPrintable(asked.first()));
    QCOMPARE(cellText(window, 0, 1), QStringLiteral("newer"));
    RecoveryKeeper::offerLeftWork(window);
    QCOMPARE(Prompt::takeQuestions(), QStringList());
}

void RecoveryTest::copyThatCannotBeWrittenIsSaidOnce()
{
    folder.reset(new PortableFolder);
    // A file where the folder should be: no copy can be written there.
    folder->writeFile(QStringLiteral("Resource/Recovery"), QByteArray("not a folder"));
    window = freshWindow();
    QVERIFY(window);
    const QString cannot = QString::fromUtf8("복구용 사본을 저장하지 못했습니다");
    setRatio(window, 2500);
    QTRY_VERIFY_WITH_TIMEOUT(window->statusBar()->currentMessage().contains(cannot), 5000);
    window->statusBar()->clearMessage();

    // The program goes on, and does not say it again at every change.
    LedgerStore::instance().addItem(QByteArray("하나"), 1000, 2000000, false);
    QTest::qWait(2600);
    QVERIFY2(!window->statusBar()->currentMessage().contains(cannot), "said twice");
    QCOMPARE(window->table()->rowCount(), 1);

    // Once a copy is written again, the next failure is said again.
    RecoveryKeeper *keeper = keeperOf(window);
    keeper->setDelays(100, 1000);
    QVERIFY(QFile::remove(AppFolders::recoveryDirectory()) && QDir().mkpath(AppFolders::recoveryDirectory()));
    LedgerStore::instance().addItem(QByteArray("둘"), 1000, 2000000, false);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(keeper->copyPath()), 5000);
    QVERIFY(QDir(AppFolders::recoveryDirectory()).removeRecursively());
    folder->writeFile(QStringLiteral("Resource/Recovery"), QByteArray("not a folder"));
    LedgerStore::instance().addItem(QByteArray("셋"), 1000, 2000000, false);
    QTRY_VERIFY_WITH_TIMEOUT(window->statusBar()->currentMessage().contains(cannot), 5000);
}

// A run that never set a ratio (a discount changed, a ledger opened that had
// none) left nothing wrong: restoring it has nothing to complain of.
void RecoveryTest::workWithoutRatioComesBackQuietly()
{
    folder.reset(new PortableFolder);
    QDir().mkpath(AppFolders::recoveryDirectory());
    RecoveryFile::Snapshot left;
    left.rate = 0;
    left.rateOfDiscount = 2.5;
    AuctionItem item;
    item.name = "비율 없음";
    item.cashPrice = 4900;
    item.mesoPrice = 30000000;
    left.rows.push_back(item);
    left.savedAt = QDateTime::currentDateTimeUtc();
    QVERIFY(RecoveryFile::write(left, AppFolders::recoveryDirectory() + QStringLiteral("/run-3-20260101000000000.json")));

    window = freshWindow();
    QVERIFY(window);
    Prompt::queueAnswer(true);
    RecoveryKeeper::offerLeftWork(window);
    QCOMPARE(Prompt::takeQuestions().size(), 1);
    QCOMPARE(Prompt::takeMessages(), QStringList());
    QCOMPARE(window->table()->rowCount(), 1);
    QCOMPARE(LedgerStore::instance().rateOfDiscount, 2.5);
    QVERIFY(window->document()->isModified());
}

// Changes that never pause long enough are written all the same, once the
// longest wait is over.
void RecoveryTest::longRunOfChangesIsStillWritten()
{
    folder.reset(new PortableFolder);
    window = freshWindow();
    QVERIFY(window);
    RecoveryKeeper *keeper = keeperOf(window);
    keeper->setDelays(400, 1000);
    setRatio(window, 2000);
    QElapsedTimer since;
    since.start();
    int added = 0;
    while (!QFile::exists(keeper->copyPath()) && since.elapsed() < 3000) {
        LedgerStore::instance().addItem(QByteArray("연속"), 1000 + added++, 5000000, false);
        QTest::qWait(100);
    }
    QVERIFY2(QFile::exists(keeper->copyPath()), "nothing written during 3 s of changes");
    QVERIFY2(since.elapsed() < 2000, qPrintable(QString::number(since.elapsed())));
}

QTEST_MAIN(RecoveryTest)
#include "tst_recovery.moc"
