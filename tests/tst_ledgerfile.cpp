#include "AuctionRows.h"
#include "FailingDevice.h"
#include "JsonFileIo.h"
#include "LedgerDocument.h"
#include "LedgerFile.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "Prompt.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <limits>
#include <tuple>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace {

const QString loadFailed = QString::fromUtf8("파일 로드 실패!");
const QString saveFailed = QString::fromUtf8("파일 저장 실패!");
const QString ratioMissing = QString::fromUtf8("1억당 비율을 먼저 입력해주세요.");
// Asked before another ledger is opened over unsaved changes.
const QString unsavedQuestion = QString::fromUtf8("저장하지 않은 변경 사항이 있습니다.\n"
                                                  "변경 사항을 저장하시겠습니까?");
// The one message after a load that could not take the file as it is: its
// first line, then the parts given.
QString loadNote(const QString &parts)
{
    return QString::fromUtf8("불러온 파일에서 그대로 쓰지 못한 것이 있습니다. 파일은 바뀌지 않았습니다.\n\n") + parts;
}
// The part for a file's ratio that was refused.
QString ratioLine(const char *file, const char *inForce, const QString &why)
{
    return QString::fromUtf8("바꾼 설정\n- 1억당 비율: %1 → %2. ").arg(QString::fromUtf8(file), QString::fromUtf8(inForce))
        + why;
}
const QString replaceQuestion = QString::fromUtf8("이미 경매장에 등록된 아이템이 있습니다.\n"
                                                  "기존 아이템이 모두 삭제됩니다.\n"
                                                  "파일을 로드 하시겠습니까?");

QAction *menuAction(MainWindow *window, const QString &text)
{
    for (QAction *action : window->findChildren<QAction *>())
        if (action->text() == text)
            return action;
    return nullptr;
}

void saveThroughMenu(MainWindow *window, const QString &path)
{
    Prompt::queueFileName(path);
    menuAction(window, QString::fromUtf8("저장"))->trigger();
}

void openThroughMenu(MainWindow *window, const QString &path)
{
    Prompt::queueFileName(path);
    menuAction(window, QString::fromUtf8("열기 Ctrl+O,"))->trigger();
}

void setDiscount(MainWindow *window, double percent)
{
    child<QDoubleSpinBox>(window, "doubleSpinBox")->setValue(percent);
}

void clickFee(MainWindow *window, int percent)
{
    clickButton(child<QRadioButton>(window, percent == 3 ? "radioButton_2" : "radioButton"));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray itemJson(const QByteArray &name, qint64 cash, qint64 meso, bool mileage)
{
    return "{\"name\":\"" + name + "\",\"cashPrice\":" + QByteArray::number(cash) + ",\"mesoPrice\":"
        + QByteArray::number(meso) + ",\"isUseMileage\":" + (mileage ? "true" : "false") + "}";
}

// Everything the user can see of the ledger and its settings, and what the
// store holds, in one comparable text.
QString describe(MainWindow *window)
{
    const LedgerStore &store = LedgerStore::instance();
    const auto number = [](double value) { return QString::number(value, 'g', 17); };
    const auto flag = [](bool value) { return value ? QStringLiteral("yes") : QStringLiteral("no"); };
    QStringList parts;
    parts << QStringLiteral("rate=") + number(store.rate) + QStringLiteral(" fee=") + number(store.fee)
            + QStringLiteral(" discount=") + number(store.rateOfDiscount) + QStringLiteral(" mesoPerWon=")
            + number(store.mesoPerWon);
    parts << QStringLiteral("ratioSet=") + flag(window->ratioIsSet()) + QStringLiteral(" field=")
            + child<QLineEdit>(window, "lineEdit")->text() + QStringLiteral(" label=")
            + child<QLabel>(window, "label_2")->text() + QStringLiteral(" spin=")
            + number(child<QDoubleSpinBox>(window, "doubleSpinBox")->value()) + QStringLiteral(" 5%=")
            + flag(child<QRadioButton>(window, "radioButton")->isChecked()) + QStringLiteral(" 3%=")
            + flag(child<QRadioButton>(window, "radioButton_2")->isChecked());
    for (const auto &pair : store.items()) {
        const AuctionItem &item = pair.second;
        parts << QStringLiteral("item ") + QString::number(pair.first) + QLatin1Char(' ')
                + QString::fromLatin1(item.name.toHex()) + QLatin1Char(' ') + QString::number(item.cashPrice)
                + QLatin1Char(' ') + QString::number(item.mesoPrice) + QLatin1Char(' ') + flag(item.isUseMileage)
                + QLatin1Char(' ') + QString::number(item.rate) + QLatin1Char(' ') + QString::number(item.fee)
                + QLatin1Char(' ') + number(item.rateOfDiscount);
    }
    const MyTableWidget *table = window->table();
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << cellText(window, row, column);
        parts << QStringLiteral("row ") + QString::number(row) + QStringLiteral(": ") + cells.join(QLatin1Char('|'));
    }
    return parts.join(QLatin1Char('\n'));
}

struct Entry
{
    QByteArray name;
    int32_t cashPrice;
    int64_t mesoPrice;
    bool isUseMileage;
};

QList<Entry> storedEntries()
{
    QList<Entry> entries;
    for (const auto &pair : LedgerStore::instance().items())
        entries << Entry{pair.second.name, pair.second.cashPrice, pair.second.mesoPrice, pair.second.isUseMileage};
    return entries;
}

ItemMap manyItems(int count)
{
    ItemMap items;
    for (int i = 0; i < count; ++i) {
        AuctionItem item;
        item.name = "item " + QByteArray::number(i).rightJustified(6, '0');
        item.cashPrice = 1000 + i;
        item.mesoPrice = 10000000LL * (i + 1);
        item.isUseMileage = i % 2 == 0;
        item.rate = 1800;
        item.fee = 5;
        item.rateOfDiscount = 3.0;
        items.emplace(i, item);
    }
    return items;
}

// What a save writes for items under the settings 1800, 5 and 3.0.
JsonFileIo::Producer ledgerOf(const ItemMap &items)
{
    return [&items](JsonFileIo::Writer &out) { return LedgerFile::write(out, 1800, 5, 3.0, items); };
}

QByteArray compactText(const JsonFileIo::Producer &produce)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    JsonFileIo::write(produce, buffer);
    return buffer.data();
}

// Files in dir other than the ones named.
QStringList otherFiles(const QString &dir, const QStringList &expected)
{
    QStringList others = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : expected)
        others.removeAll(name);
    return others;
}

// Run as a child process: saves a 100,000-item ledger to path again and
// again until it is killed (or gives up after a bounded number of saves).
int saveLoop(const QString &path)
{
    const ItemMap items = manyItems(100000);
    for (int round = 0; round < 500; ++round)
        if (!JsonFileIo::instance().writeLedgerFile(ledgerOf(items), path))
            return 2;
    return 0;
}

// Data rows of a "member" column, the text `"key":value,` that goes into a
// ledger (none at all for a null value), and an "expected" column, the
// value the load keeps.
template <typename T>
void addMemberRows(const char *key, std::initializer_list<std::tuple<const char *, const char *, T>> rows)
{
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<T>("expected");
    for (const auto &[tag, value, expected] : rows)
        QTest::newRow(tag) << (value ? "\"" + QByteArray(key) + "\":" + value + "," : QByteArray()) << expected;
}

} // namespace

class LedgerFileTest : public WindowTest
{
    Q_OBJECT

private:
    void start()
    {
        folder.reset(new PortableFolder("[]"));
        window = freshWindow();
        QVERIFY(window);
    }

    QString dataPath(const QString &name) const
    {
        QDir(folder->root()).mkpath(QStringLiteral("Resource/CustomDatas"));
        return folder->path(QStringLiteral("Resource/CustomDatas/") + name);
    }

    // A ledger file with the given members, loaded into the window.
    bool load(const QByteArray &text)
    {
        const QString path = dataPath(QStringLiteral("load.json"));
        writeAll(path, text);
        return window->loadLedgerFrom(path);
    }

private slots:
    void cleanup() { releaseAll(); }

    // --- saving -------------------------------------------------------------

    void exampleBytes()
    {
        start();
        setRatio(window, 1800);
        setDiscount(window, 3);
        LedgerStore::instance().addItem("abc", 5900, 40000000, false);

        // Written over a longer file: nothing of the old text may remain.
        const QString path = dataPath(QString::fromUtf8("장부 1.json"));
        QVERIFY(writeAll(path, QByteArray(4096, 'x')));
        saveThroughMenu(window, path);
        QCOMPARE(Prompt::takeMessages(), QStringList());
        QCOMPARE(readAll(path),
                 QByteArray("{\"rate\":1800,\"fee\":5,\"rateOfDiscount\":3.0,\"auctionItems\":[{\"name\":\"abc\","
                            "\"cashPrice\":5900,\"mesoPrice\":40000000,\"isUseMileage\":false}]}"));
        QCOMPARE(otherFiles(dataPath(QString()), {QString::fromUtf8("장부 1.json")}), QStringList());
    }

    void saveCreatesDirectory()
    {
        start();
        const QString dir = folder->path(QStringLiteral("Resource/CustomDatas"));
        QVERIFY(!QFileInfo::exists(dir));
        saveThroughMenu(window, folder->path(QStringLiteral("Resource/elsewhere.json")));
        QVERIFY(QFileInfo(dir).isDir());
        QCOMPARE(readAll(folder->path(QStringLiteral("Resource/elsewhere.json"))),
                 QByteArray("{\"rate\":0,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[]}"));
    }

    // The export writes the table as shown, in its row order, to a name that
    // gets ".csv" when it has no extension.
    void exportThroughMenu()
    {
        start();
        setRatio(window, 3000);
        LedgerStore::instance().addItem("worse", 10000, 200000000, true);
        LedgerStore::instance().addItem("better, with a comma", 10000, 300000000, true);
        LedgerStore::instance().addItem("=1+1", 500, 1000, false);
        child<QPushButton>(window, "pushButton_2")->click();
        Prompt::queueFileName(dataPath(QStringLiteral("export")));
        QAction *exportAction = menuAction(window, QString::fromUtf8("CSV로 내보내기…"));
        QVERIFY(exportAction);
        exportAction->trigger();
        QCOMPARE(Prompt::takeMessages(), QStringList());
        const QByteArray text = readAll(dataPath(QStringLiteral("export.csv")));
        QVERIFY(text.startsWith("\xEF\xBB\xBF"));
        const QList<QByteArray> lines = text.mid(3).split('\n');
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines[0].startsWith(QString::fromUtf8("아이템,").toUtf8()));
        QCOMPARE(lines[1], QByteArray("\"better, with a comma\",10000,7000,300000000,63338000,2000,3000,5,O\r"));
        // A name a spreadsheet would take for a formula stays text.
        QCOMPARE(lines[2], QByteArray("'=1+1,500,500,1000,-15832050,-499,3000,5,X\r"));
        QVERIFY(lines[3].startsWith("worse,10000,7000,200000000,-"));
        QCOMPARE(lines[4], QByteArray());
    }

    // A click on a column's title orders the rows by that column and a
    // second click the other way round, with the title's arrow; the export
    // (Ctrl+E) and the copied row follow the order shown. The ledger stays
    // as saved, with nothing to undo.
    void exportFollowsHeaderSort()
    {
        start();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        setRatio(window, 3000);
        LedgerStore &store = LedgerStore::instance();
        store.addItem("다람쥐", 10000, 200000000, true);
        store.addItem("가방 B", 500, 1000, false);
        store.addItem("나비", 10000, 300000000, true);
        store.addItem("가방 a", 3000, 90000000, false);
        saveThroughMenu(window, dataPath(QStringLiteral("sorted.json")));
        QVERIFY(!window->isWindowModified());
        const int history = window->document()->undoStack().count();

        MyTableWidget *table = window->table();
        QHeaderView *header = table->horizontalHeader();
        const auto clickTitle = [&](int column) {
            const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                header->height() / 2);
            QVERIFY(header->viewport()->rect().contains(middle));
            QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, middle);
        };
        const auto exportedNames = [&](const QString &name) {
            Prompt::queueFileName(dataPath(name));
            QTest::keyClick(window, Qt::Key_E, Qt::ControlModifier);
            QStringList names;
            const QList<QByteArray> lines = readAll(dataPath(name)).split('\n');
            for (int k = 1; k < lines.size(); ++k)
                if (!lines[k].isEmpty())
                    names << QString::fromUtf8(lines[k].left(lines[k].indexOf(',')));
            return names;
        };
        const auto shownNames = [&] {
            QStringList names;
            for (int row = 0; row < table->rowCount(); ++row)
                names << cellText(window, row, AuctionRows::NameColumn);
            return names;
        };

        // Meso prices as numbers: 1,000 before 90,000,000.
        clickTitle(AuctionRows::MesoColumn);
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), int(AuctionRows::MesoColumn));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        const QStringList ascending = QString::fromUtf8("가방 B|가방 a|다람쥐|나비").split('|');
        QCOMPARE(shownNames(), ascending);
        QCOMPARE(exportedNames(QStringLiteral("ascending.csv")), ascending);

        clickTitle(AuctionRows::MesoColumn);
        QCOMPARE(header->sortIndicatorSection(), int(AuctionRows::MesoColumn));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        const QStringList descending = QString::fromUtf8("나비|다람쥐|가방 a|가방 B").split('|');
        QCOMPARE(exportedNames(QStringLiteral("descending.csv")), descending);
        QCOMPARE(Prompt::takeMessages(), QStringList());

        // Each row still finds its own item.
        table->setCurrentCell(2, AuctionRows::NameColumn);
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString::fromUtf8("가방 a\t3000\t3000\t90000000\t-9498000\t-299\t3000\t5\tX"));

        // Names in Korean order, whatever the case of a letter in them. The
        // current item stays current, and a delete takes that item.
        clickTitle(AuctionRows::NameColumn);
        QCOMPARE(shownNames(), QString::fromUtf8("가방 a|가방 B|나비|다람쥐").split('|'));
        QVERIFY(!window->isWindowModified());
        QCOMPARE(window->document()->undoStack().count(), history);
        QCOMPARE(table->currentRow(), 0);
        QTest::mouseClick(child<QPushButton>(window, "pushButton_5"), Qt::LeftButton);
        QVERIFY(!store.findItem(3));
        QCOMPARE(shownNames(), QString::fromUtf8("가방 B|나비|다람쥐").split('|'));

        // A new item still comes in on top; "정렬" orders by profit again,
        // with its yellow top row and without the arrow.
        store.addItem("새 아이템", 1000, 1000, false);
        QCOMPARE(cellText(window, 0, AuctionRows::NameColumn), QString::fromUtf8("새 아이템"));
        QTest::mouseClick(child<QPushButton>(window, "pushButton_2"), Qt::LeftButton);
        QCOMPARE(header->sortIndicatorSection(), -1);
        QCOMPARE(cellText(window, 0, AuctionRows::NameColumn), QString::fromUtf8("나비"));
        QCOMPARE(table->item(0, AuctionRows::NameColumn)->background().color(), QColor(255, 255, 0));

        // Cash prices by the won really paid (mileage takes 30 % off), and
        // "O" before "X"; the last row deleted takes the arrow with it.
        store.addItem("가방 C", 9000, 5000, false);
        const std::pair<int, const char *> orders[] = {
            {AuctionRows::CashColumn, "가방 B|새 아이템|나비|다람쥐|가방 C"},
            {AuctionRows::MileageColumn, "나비|다람쥐|가방 C|새 아이템|가방 B"}};
        for (const auto &order : orders) {
            table->scrollToItem(table->item(0, order.first));
            clickTitle(order.first);
            QCOMPARE(header->sortIndicatorSection(), order.first);
            QCOMPARE(shownNames(), QString::fromUtf8(order.second).split('|'));
        }
        for (int k = 0; k < 5; ++k) {
            table->setCurrentCell(0, AuctionRows::NameColumn);
            QTest::mouseClick(child<QPushButton>(window, "pushButton_5"), Qt::LeftButton);
        }
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(header->sortIndicatorSection(), -1);
    }

    void cancelledDialogs()
    {
        start();
        setRatio(window, 1800);
        LedgerStore::instance().addItem("abc", 5900, 40000000, false);
        const QString before = describe(window);
        menuAction(window, QString::fromUtf8("저장"))->trigger();
        Prompt::queueSaveAnswer(Prompt::SaveAnswer::Discard);
        menuAction(window, QString::fromUtf8("열기 Ctrl+O,"))->trigger();
        QCOMPARE(Prompt::takeMessages(), QStringList());
        QCOMPARE(Prompt::takeQuestions(), QStringList{unsavedQuestion});
        QCOMPARE(describe(window), before);
        QCOMPARE(otherFiles(dataPath(QString()), {}), QStringList());
    }

    void wholeFile_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("fee");
        QTest::addColumn<double>("discount");
        QTest::addColumn<int>("items");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("fresh program") << 0 << 5 << 0.0 << 0
                                       << QByteArray("{\"rate\":0,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[]}");
        QTest::newRow("empty ledger, settings kept")
            << 2500 << 3 << 12.5 << 0
            << QByteArray("{\"rate\":2500,\"fee\":3,\"rateOfDiscount\":12.5,\"auctionItems\":[]}");
        QTest::newRow("discount 2.5") << 1800 << 5 << 2.5 << 1
                                      << QByteArray("{\"rate\":1800,\"fee\":5,\"rateOfDiscount\":2.5,\"auctionItems\":["
                                                    + itemJson("one", 5900, 40000000, true) + "]}");
        QTest::newRow("discount 100") << 1800 << 5 << 100.0 << 0
                                      << QByteArray("{\"rate\":1800,\"fee\":5,\"rateOfDiscount\":100.0,"
                                                    "\"auctionItems\":[]}");
        QTest::newRow("discount 0.01") << 1800 << 5 << 0.01 << 0
                                       << QByteArray("{\"rate\":1800,\"fee\":5,\"rateOfDiscount\":0.01,"
                                                     "\"auctionItems\":[]}");
        QTest::newRow("discount 33.33") << 1800 << 5 << 33.33 << 0
                                        << QByteArray("{\"rate\":1800,\"fee\":5,\"rateOfDiscount\":33.33,"
                                                      "\"auctionItems\":[]}");
        QTest::newRow("three items, 3 %")
            << 50000000 << 3 << 0.0 << 3
            << QByteArray("{\"rate\":50000000,\"fee\":3,\"rateOfDiscount\":0.0,\"auctionItems\":["
                          + itemJson("one", 5900, 40000000, true) + "," + itemJson("two", 2147483647, 9223372036854775807LL, false)
                          + "," + itemJson("three", 1, 1, true) + "]}");
    }

    void wholeFile()
    {
        QFETCH(int, rate);
        QFETCH(int, fee);
        QFETCH(double, discount);
        QFETCH(int, items);
        QFETCH(QByteArray, expected);

        start();
        if (rate > 0)
            setRatio(window, rate);
        if (fee == 3)
            clickFee(window, 3);
        setDiscount(window, discount);
        const Entry entries[] = {{"one", 5900, 40000000, true},
                                 {"two", 2147483647, 9223372036854775807LL, false},
                                 {"three", 1, 1, true}};
        for (int i = 0; i < items; ++i)
            LedgerStore::instance().addItem(entries[i].name, entries[i].cashPrice, entries[i].mesoPrice,
                                            entries[i].isUseMileage);

        const QString path = dataPath(QStringLiteral("whole.json"));
        saveThroughMenu(window, path);
        QCOMPARE(Prompt::takeMessages(), QStringList());
        QCOMPARE(readAll(path), expected);
    }

    // How names are written, and that each comes back as it went out.
    void nameText_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("written");

        QTest::newRow("plain") << QByteArray("abc") << QByteArray("\"abc\"");
        QTest::newRow("quotation mark") << QByteArray("a\"b") << QByteArray("\"a\\\"b\"");
        QTest::newRow("backslash") << QByteArray("a\\b") << QByteArray("\"a\\\\b\"");
        QTest::newRow("slash stays") << QByteArray("a/b") << QByteArray("\"a/b\"");
        QTest::newRow("backspace") << QByteArray("a\bb") << QByteArray("\"a\\bb\"");
        QTest::newRow("tab") << QByteArray("a\tb") << QByteArray("\"a\\tb\"");
        QTest::newRow("line feed") << QByteArray("a\nb") << QByteArray("\"a\\nb\"");
        QTest::newRow("form feed") << QByteArray("a\fb") << QByteArray("\"a\\fb\"");
        QTest::newRow("carriage return") << QByteArray("a\rb") << QByteArray("\"a\\rb\"");
        QTest::newRow("0x01") << QByteArray("a\x01" "b") << QByteArray("\"a\\u0001b\"");
        QTest::newRow("0x0B") << QByteArray("\x0B") << QByteArray("\"\\u000B\"");
        QTest::newRow("0x1F upper-case hex") << QByteArray("\x1F") << QByteArray("\"\\u001F\"");
        QByteArray controls;
        for (char c = 1; c < 0x20; ++c)
            controls += c;
        QTest::newRow("every control byte")
            << controls
            << QByteArray("\"\\u0001\\u0002\\u0003\\u0004\\u0005\\u0006\\u0007\\b\\t\\n\\u000B\\f\\r\\u000E\\u000F"
                          "\\u0010\\u0011\\u0012\\u0013\\u0014\\u0015\\u0016\\u0017\\u0018\\u0019\\u001A\\u001B"
                          "\\u001C\\u001D\\u001E\\u001F\"");
        QTest::newRow("DEL stays") << QByteArray("a\x7F" "b") << QByteArray("\"a\x7F" "b\"");
        QTest::newRow("two-byte UTF-8") << QByteArray("caf\xC3\xA9") << QByteArray("\"caf\xC3\xA9\"");
        QTest::newRow("Korean") << QByteArray("고급 원더 블랙") << QByteArray("\"고급 원더 블랙\"");
        QTest::newRow("four-byte UTF-8") << QByteArray("\xF0\x9F\x8E\x81") << QByteArray("\"\xF0\x9F\x8E\x81\"");
        QTest::newRow("bytes that are not UTF-8") << QByteArray("\xFF\xFE\x80") << QByteArray("\"\xFF\xFE\x80\"");
        QTest::newRow("cut at NUL") << QByteArray("ab\0cd", 5) << QByteArray("\"ab\"");
    }

    void nameText()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, written);

        start();
        setRatio(window, 1000);
        LedgerStore::instance().addItem(name, 1, 2, false);
        const QString path = dataPath(QStringLiteral("names.json"));
        QVERIFY(window->saveLedgerTo(path));
        QCOMPARE(readAll(path), "{\"rate\":1000,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[{\"name\":" + written
                                    + ",\"cashPrice\":1,\"mesoPrice\":2,\"isUseMileage\":false}]}");

        window = freshWindow();
        QVERIFY(window);
        QVERIFY(window->loadLedgerFrom(path));
        const QList<Entry> entries = storedEntries();
        QCOMPARE(entries.size(), 1);
        const int nul = name.indexOf('\0');
        QCOMPARE(entries.first().name, nul < 0 ? name : name.left(nul));
    }

    // --- loading ------------------------------------------------------------

    void roundTrip()
    {
        start();
        setRatio(window, 2500);
        clickFee(window, 3);
        setDiscount(window, 2.5);
        const QList<Entry> saved = {{"첫째 상자", 4900, 300000000, true},
                                    {"second \"quoted\"", 5900, 40000000, false},
                                    {"셋째", 2147483647, 9223372036854775807LL, true},
                                    {"second \"quoted\"", 5900, 40000000, false}};
        for (const Entry &entry : saved)
            LedgerStore::instance().addItem(entry.name, entry.cashPrice, entry.mesoPrice, entry.isUseMileage);
        const QString path = dataPath(QString::fromUtf8("장부 2.json"));
        saveThroughMenu(window, path);
        const QByteArray firstText = readAll(path);
        QVERIFY(!firstText.isEmpty());

        window = freshWindow();
        QVERIFY(window);
        const int32_t firstId = LedgerStore::nextItemId();
        openThroughMenu(window, path);
        QCOMPARE(Prompt::takeMessages(), QStringList());
        // An empty table is replaced without asking.
        QCOMPARE(Prompt::takeQuestions(), QStringList());

        const LedgerStore &store = LedgerStore::instance();
        QVERIFY(window->ratioIsSet());
        QCOMPARE(store.rate, 2500);
        QCOMPARE(child<QLineEdit>(window, "lineEdit")->text(), QStringLiteral("2500"));
        QCOMPARE(store.fee, 3);
        QVERIFY(child<QRadioButton>(window, "radioButton_2")->isChecked());
        QCOMPARE(store.rateOfDiscount, 2.5);
        QCOMPARE(child<QDoubleSpinBox>(window, "doubleSpinBox")->value(), 2.5);

        const QList<Entry> loaded = storedEntries();
        QCOMPARE(loaded.size(), saved.size());
        int32_t expectedId = firstId;
        for (int i = 0; i < saved.size(); ++i) {
            QCOMPARE(loaded[i].name, saved[i].name);
            QCOMPARE(loaded[i].cashPrice, saved[i].cashPrice);
            QCOMPARE(loaded[i].mesoPrice, saved[i].mesoPrice);
            QCOMPARE(loaded[i].isUseMileage, saved[i].isUseMileage);
            const AuctionItem *item = LedgerStore::instance().findItem(expectedId++);
            QVERIFY(item);
            QCOMPARE(item->name, saved[i].name);
            QCOMPARE(item->rate, 2500);
            QCOMPARE(item->fee, 3);
            QCOMPARE(item->rateOfDiscount, 2.5);
        }
        // Each row went in at the top: the file's last item is the top row.
        QCOMPARE(window->table()->rowCount(), saved.size());
        QCOMPARE(cellText(window, 0, AuctionRows::NameColumn), QString::fromUtf8(saved.last().name));
        QCOMPARE(cellText(window, 0, AuctionRows::KeyColumn), QString::number(expectedId - 1));
        QCOMPARE(cellText(window, saved.size() - 1, AuctionRows::NameColumn), QString::fromUtf8(saved.first().name));

        // Saved again, the loaded ledger is the same file.
        const QString again = dataPath(QStringLiteral("again.json"));
        QVERIFY(window->saveLedgerTo(again));
        QCOMPARE(readAll(again), firstText);
    }

    void idsAfterReplacingLedger()
    {
        start();
        setRatio(window, 1000);
        for (int i = 0; i < 3; ++i)
            LedgerStore::instance().addItem("old", 1, 1, false);
        QVERIFY(LedgerStore::nextItemId() >= 3);

        Prompt::queueAnswer(true);
        QVERIFY(load("{\"rate\":1000,\"fee\":5,\"rateOfDiscount\":0,\"auctionItems\":[" + itemJson("f0", 1, 1, false)
                     + "," + itemJson("f1", 2, 2, false) + "," + itemJson("", 3, 3, false) + ","
                     + itemJson("f2", 4, 4, false) + "]}"));
        QCOMPARE(Prompt::takeQuestions(), QStringList{replaceQuestion});

        const LedgerStore::ItemMap &items = LedgerStore::instance().items();
        QCOMPARE(items.size(), size_t(3));
        QCOMPARE(items.at(0).name, QByteArray("f0"));
        QCOMPARE(items.at(1).name, QByteArray("f1"));
        QCOMPARE(items.at(2).name, QByteArray("f2"));
        QCOMPARE(items.at(2).cashPrice, 4);
        QCOMPARE(LedgerStore::nextItemId(), 3);
        QCOMPARE(window->table()->rowCount(), 3);
        QCOMPARE(cellText(window, 0, AuctionRows::KeyColumn), QStringLiteral("2"));
        QCOMPARE(cellText(window, 0, AuctionRows::NameColumn), QStringLiteral("f2"));
        QCOMPARE(cellText(window, 2, AuctionRows::KeyColumn), QStringLiteral("0"));
    }

    void question_data()
    {
        QTest::addColumn<bool>("rowsBefore");
        QTest::addColumn<int>("answer"); // 1 Yes, 0 No, -1 the box closed without either
        QTest::addColumn<bool>("replaced");

        QTest::newRow("empty table: nothing asked") << false << -1 << true;
        QTest::newRow("rows, Yes") << true << 1 << true;
        QTest::newRow("rows, No") << true << 0 << false;
        QTest::newRow("rows, closed") << true << -1 << false;
    }

    void question()
    {
        QFETCH(bool, rowsBefore);
        QFETCH(int, answer);
        QFETCH(bool, replaced);

        start();
        setRatio(window, 1000);
        if (rowsBefore)
            LedgerStore::instance().addItem("old", 1, 1, false);
        const QString before = describe(window);
        if (answer >= 0)
            Prompt::queueAnswer(answer == 1);

        const QString path = dataPath(QStringLiteral("question.json"));
        QVERIFY(writeAll(path, "{\"rate\":2000,\"fee\":3,\"rateOfDiscount\":1.5,\"auctionItems\":["
                                   + itemJson("new", 5, 6, true) + "]}"));
        // The ratio set above is unsaved; letting it go comes first.
        Prompt::queueSaveAnswer(Prompt::SaveAnswer::Discard);
        openThroughMenu(window, path);

        const QStringList asked = rowsBefore ? QStringList{unsavedQuestion, replaceQuestion}
                                             : QStringList{unsavedQuestion};
        QCOMPARE(Prompt::takeQuestions(), asked);
        const QStringList titles = rowsBefore ? QStringList{QStringLiteral("notify"), QStringLiteral("notify")}
                                              : QStringList{QStringLiteral("notify")};
        QCOMPARE(Prompt::takeQuestionTitles(), titles);
        QCOMPARE(Prompt::takeMessages(), QStringList());
        if (!replaced) {
            QCOMPARE(describe(window), before);
            return;
        }
        QCOMPARE(LedgerStore::instance().items().size(), size_t(1));
        QCOMPARE(LedgerStore::instance().items().begin()->second.name, QByteArray("new"));
        QCOMPARE(window->table()->rowCount(), 1);
        QCOMPARE(LedgerStore::instance().rate, 2000);
        QCOMPARE(LedgerStore::instance().fee, 3);
        QCOMPARE(LedgerStore::instance().rateOfDiscount, 1.5);
    }

    // A ratio set before the load gives way to the file's.
    void fileRatioReplacesSetRatio_data()
    {
        QTest::addColumn<bool>("rowsBefore");
        QTest::newRow("empty table") << false;
        QTest::newRow("rows replaced") << true;
    }

    void fileRatioReplacesSetRatio()
    {
        QFETCH(bool, rowsBefore);
        start();
        setRatio(window, 1000);
        if (rowsBefore)
            LedgerStore::instance().addItem("old", 10000, 300000000, true);
        Prompt::queueAnswer(true);
        QVERIFY(load("{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0,\"auctionItems\":["
                     + itemJson("new", 10000, 300000000, true) + "]}"));
        QCOMPARE(Prompt::takeMessages(), QStringList());

        const LedgerStore &store = LedgerStore::instance();
        QVERIFY(window->ratioIsSet());
        QCOMPARE(store.rate, 3000);
        QCOMPARE(child<QLineEdit>(window, "lineEdit")->text(), QStringLiteral("3000"));
        QVERIFY(!child<QLineEdit>(window, "lineEdit")->isEnabled());
        QCOMPARE(child<QLabel>(window, "label_2")->text(),
                 QString::fromUtf8("비율 : 3,000원 -----▶ 1원당 31,666 메소"));
        QCOMPARE(window->table()->rowCount(), 1);
        QCOMPARE(cellText(window, 0, AuctionRows::RateColumn), QStringLiteral("3,000"));
        QCOMPARE(cellText(window, 0, AuctionRows::CashColumn), QStringLiteral("7,000"));
        QCOMPARE(cellText(window, 0, AuctionRows::ProfitMesoColumn), QStringLiteral("63,338,000"));
        QCOMPARE(cellText(window, 0, AuctionRows::ProfitWonColumn), QStringLiteral("2,000"));
    }

    // A file whose ratio the set command refuses: a ratio in force stays in
    // force, and the file's fee and discount apply to it; without one the
    // field shows the file's figure and the fee cannot change.
    void unusableFileRatio_data()
    {
        QTest::addColumn<QByteArray>("member");
        QTest::addColumn<bool>("ratioBefore");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");

        const QString tooLarge = QString::fromUtf8("1억당 비율은 50,000,000원 이하로 입력해주세요. "
                                                   "그보다 크면 1원당 메소가 0이 됩니다.");
        // Without a ratio the file's 3 % cannot be chosen either.
        const QString feeKept = QString::fromUtf8("\n- 수수료: 3% → 5%. 비율이 세팅되지 않아 수수료를 바꿀 수 없습니다.");
        const char *kept = "3,000원(쓰던 비율)";
        const char *none = "세팅하지 않음";
        QTest::newRow("ratio set, rate missing") << QByteArray() << true << "3000"
                                                 << loadNote(ratioLine("없음", kept, ratioMissing));
        QTest::newRow("ratio set, rate 0") << QByteArray("\"rate\":0,") << true << "3000"
                                           << loadNote(ratioLine("0원", kept, ratioMissing));
        QTest::newRow("ratio set, rate -5") << QByteArray("\"rate\":-5,") << true << "3000"
                                            << loadNote(ratioLine("-5원", kept, ratioMissing));
        QTest::newRow("ratio set, rate 50,000,001") << QByteArray("\"rate\":50000001,") << true << "3000"
                                                    << loadNote(ratioLine("50,000,001원", kept, tooLarge));
        QTest::newRow("no ratio, rate 0") << QByteArray("\"rate\":0,") << false << "0"
                                          << loadNote(ratioLine("0원", none, ratioMissing) + feeKept);
        QTest::newRow("no ratio, rate 50,000,001") << QByteArray("\"rate\":50000001,") << false << "50000001"
                                                   << loadNote(ratioLine("50,000,001원", none, tooLarge) + feeKept);
    }

    void unusableFileRatio()
    {
        QFETCH(QByteArray, member);
        QFETCH(bool, ratioBefore);
        QFETCH(QString, field);
        QFETCH(QString, message);

        start();
        if (ratioBefore)
            setRatio(window, 3000);
        LedgerStore::instance().addItem("old", 10000, 300000000, true);
        Prompt::queueAnswer(true);
        QVERIFY(load("{" + member + "\"fee\":3,\"rateOfDiscount\":2.5,\"auctionItems\":["
                     + itemJson("new", 10000, 300000000, true) + "]}"));
        QCOMPARE(Prompt::takeQuestions(), QStringList{replaceQuestion});
        QCOMPARE(Prompt::takeMessages(), QStringList{message});

        // The field, the summary, the store and every row agree.
        const LedgerStore &store = LedgerStore::instance();
        const int rate = ratioBefore ? 3000 : 0;
        const int fee = ratioBefore ? 3 : 5;
        QCOMPARE(window->ratioIsSet(), ratioBefore);
        QCOMPARE(child<QLineEdit>(window, "lineEdit")->text(), field);
        QCOMPARE(child<QLineEdit>(window, "lineEdit")->isEnabled(), !ratioBefore);
        QCOMPARE(child<QLabel>(window, "label_2")->text(),
                 ratioBefore ? QString::fromUtf8("비율 : 3,000원 -----▶ 1원당 32,333 메소") : QString());
        QCOMPARE(store.rate, rate);
        QCOMPARE(store.fee, fee);
        QCOMPARE(store.rateOfDiscount, 2.5);
        QCOMPARE(child<QRadioButton>(window, "radioButton_2")->isChecked(), fee == 3);
        QCOMPARE(child<QRadioButton>(window, "radioButton")->isChecked(), fee == 5);
        QCOMPARE(child<QDoubleSpinBox>(window, "doubleSpinBox")->value(), 2.5);
        QCOMPARE(store.items().size(), size_t(1));
        const AuctionItem &item = store.items().begin()->second;
        QCOMPARE(item.name, QByteArray("new"));
        QCOMPARE(item.rate, rate);
        QCOMPARE(item.fee, fee);
        QCOMPARE(item.rateOfDiscount, 2.5);
        QCOMPARE(window->table()->rowCount(), 1);
        QCOMPARE(cellText(window, 0, AuctionRows::CashColumn), QStringLiteral("6,825"));
        QCOMPARE(cellText(window, 0, AuctionRows::RateColumn),
                 ratioBefore ? QStringLiteral("3,000") : QStringLiteral("0"));
        QCOMPARE(cellText(window, 0, AuctionRows::FeeColumn), QString::number(fee));
        QCOMPARE(cellText(window, 0, AuctionRows::ProfitMesoColumn),
                 ratioBefore ? QStringLiteral("70,327,275") : QString());
        QCOMPARE(cellText(window, 0, AuctionRows::ProfitWonColumn), ratioBefore ? QStringLiteral("2,175") : QString());
    }

    void fee_data()
    {
        addMemberRows<int>("fee", {{"5", "5", 5}, {"0", "0", 5}, {"4", "4", 5}, {"missing", nullptr, 5},
                                   {"3", "3", 3}, {"-3", "-3", 5}, {"\"3\"", "\"3\"", 5}, {"3.0", "3.0", 5},
                                   {"true", "true", 5}, {"4294967299", "4294967299", 5},
                                   {"first of two", "3,\"fee\":5", 3}});
    }

    void fee()
    {
        QFETCH(QByteArray, member);
        QFETCH(int, expected);

        // Start from the other fee so that every outcome is a visible change.
        start();
        setRatio(window, 1000);
        clickFee(window, expected == 3 ? 5 : 3);
        QCOMPARE(LedgerStore::instance().fee, expected == 3 ? 5 : 3);

        QVERIFY(load("{\"rate\":2000," + member + "\"rateOfDiscount\":0,\"auctionItems\":["
                     + itemJson("x", 1000, 1000000, false) + "]}"));
        QCOMPARE(LedgerStore::instance().fee, expected);
        QCOMPARE(child<QRadioButton>(window, "radioButton_2")->isChecked(), expected == 3);
        QCOMPARE(child<QRadioButton>(window, "radioButton")->isChecked(), expected == 5);
        QCOMPARE(LedgerStore::instance().items().rbegin()->second.fee, expected);
        QCOMPARE(cellText(window, 0, AuctionRows::FeeColumn), QString::number(expected));
        // A fee the load said it replaced is unsaved; one it took is not.
        QCOMPARE(window->isWindowModified(), !Prompt::takeMessages().isEmpty());
    }

    void rate_data()
    {
        QTest::addColumn<QByteArray>("member");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("rate");
        QTest::addColumn<QStringList>("messages");

        QTest::newRow("1800") << QByteArray("\"rate\":1800,") << QStringLiteral("1800") << 1800 << QStringList();
        QTest::newRow("1") << QByteArray("\"rate\":1,") << QStringLiteral("1") << 1 << QStringList();
        const auto refused = [](const char *file) {
            return QStringList{loadNote(ratioLine(file, "세팅하지 않음", ratioMissing))};
        };
        QTest::newRow("0") << QByteArray("\"rate\":0,") << QStringLiteral("0") << 0 << refused("0원");
        QTest::newRow("-5") << QByteArray("\"rate\":-5,") << QStringLiteral("0") << 0 << refused("-5원");
        QTest::newRow("smallest") << QByteArray("\"rate\":-2147483648,") << QStringLiteral("0") << 0
                                  << refused("-2,147,483,648원");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("0") << 0 << refused("없음");
        QTest::newRow("string") << QByteArray("\"rate\":\"1800\",") << QStringLiteral("0") << 0
                                << refused("읽을 수 없는 값");
        QTest::newRow("1800.0") << QByteArray("\"rate\":1800.0,") << QStringLiteral("0") << 0
                                << refused("읽을 수 없는 값");
        QTest::newRow("null") << QByteArray("\"rate\":null,") << QStringLiteral("0") << 0
                              << refused("읽을 수 없는 값");
        QTest::newRow("above 32 bits") << QByteArray("\"rate\":2147483648,") << QStringLiteral("0") << 0
                                       << refused("읽을 수 없는 값");
        QTest::newRow("first of two") << QByteArray("\"rate\":1800,\"rate\":-1,") << QStringLiteral("1800") << 1800
                                      << QStringList();
    }

    void rate()
    {
        QFETCH(QByteArray, member);
        QFETCH(QString, field);
        QFETCH(int, rate);
        QFETCH(QStringList, messages);

        start();
        QVERIFY(load("{" + member + "\"fee\":5,\"rateOfDiscount\":0,\"auctionItems\":[]}"));
        QCOMPARE(Prompt::takeMessages(), messages);
        QCOMPARE(child<QLineEdit>(window, "lineEdit")->text(), field);
        QCOMPARE(window->ratioIsSet(), rate > 0);
        QCOMPARE(LedgerStore::instance().rate, rate);
    }

    void discount_data()
    {
        addMemberRows<double>("rateOfDiscount",
                              {{"2.5", "2.5", 2.5}, {"integer 2", "2", 2.0}, {"exponent", "1e1", 10.0},
                               {"0", "0.0", 0.0}, {"negative", "-2.5", 0.0}, {"negative integer", "-7", 0.0},
                               {"missing", nullptr, 0.0}, {"string", "\"3\"", 0.0}, {"boolean", "true", 0.0},
                               {"above 100", "150", 100.0}, {"two decimals shown", "3.14159", 3.14}});
    }

    void discount()
    {
        QFETCH(QByteArray, member);
        QFETCH(double, expected);

        start();
        setDiscount(window, 7);
        QVERIFY(load("{\"rate\":1000,\"fee\":5," + member + "\"auctionItems\":[" + itemJson("x", 1000, 1000000, false)
                     + "]}"));
        QCOMPARE(child<QDoubleSpinBox>(window, "doubleSpinBox")->value(), expected);
        QCOMPARE(LedgerStore::instance().rateOfDiscount, expected);
        QCOMPARE(LedgerStore::instance().items().rbegin()->second.rateOfDiscount, expected);
        QCOMPARE(window->isWindowModified(), !Prompt::takeMessages().isEmpty());
    }

    // One element between two good ones: it is added as read, or skipped,
    // and the load says why, while its neighbours are still added.
    void element_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("cash");
        QTest::addColumn<qlonglong>("meso");
        QTest::addColumn<bool>("mileage");

        const auto good = [](const char *tag, const QByteArray &element, const QByteArray &name, int cash,
                             qlonglong meso, bool mileage) {
            QTest::newRow(tag) << element << true << name << cash << meso << mileage;
        };
        // The reason the load gives for leaving the element out.
        const auto skipped = [](const char *tag, const QByteArray &element, const char *reason) {
            QTest::newRow(tag) << element << false << QByteArray(reason) << 0 << qlonglong(0) << false;
        };
        const char *notAboveZero = "가격이 0보다 큰 정수가 아님";
        const char *cashTooLarge = "캐시 가격이 2,147,483,647보다 큼";
        const char *noName = "이름이 없음";
        const char *notAnItem = "아이템이 아님";

        good("complete", itemJson("x", 5900, 40000000, true), "x", 5900, 40000000, true);
        good("mileage false", itemJson("x", 5900, 40000000, false), "x", 5900, 40000000, false);
        good("mileage 1", "{\"name\":\"x\",\"cashPrice\":1,\"mesoPrice\":2,\"isUseMileage\":1}", "x", 1, 2, false);
        good("mileage \"x\"", "{\"name\":\"x\",\"cashPrice\":1,\"mesoPrice\":2,\"isUseMileage\":\"x\"}", "x", 1, 2,
             false);
        good("mileage \"true\"", "{\"name\":\"x\",\"cashPrice\":1,\"mesoPrice\":2,\"isUseMileage\":\"true\"}", "x", 1,
             2, false);
        good("mileage null", "{\"name\":\"x\",\"cashPrice\":1,\"mesoPrice\":2,\"isUseMileage\":null}", "x", 1, 2,
             false);
        good("mileage missing", "{\"name\":\"x\",\"cashPrice\":1,\"mesoPrice\":2}", "x", 1, 2, false);
        good("largest cash price", itemJson("x", 2147483647, 2, false), "x", 2147483647, 2, false);
        good("largest meso price", itemJson("x", 1, 9223372036854775807LL, false), "x", 1, 9223372036854775807LL,
             false);
        good("members in another order", "{\"isUseMileage\":true,\"mesoPrice\":2,\"cashPrice\":1,\"name\":\"x\"}", "x",
             1, 2, true);
        good("extra members", "{\"id\":7,\"name\":\"x\",\"note\":{\"a\":[1]},\"cashPrice\":1,\"mesoPrice\":2}", "x", 1, 2,
             false);
        good("first of duplicates",
             "{\"name\":\"one\",\"name\":\"two\",\"cashPrice\":1,\"cashPrice\":0,\"mesoPrice\":2,\"isUseMileage\":true,"
             "\"isUseMileage\":false}",
             "one", 1, 2, true);
        good("name cut at NUL", "{\"name\":\"ab\\u0000cd\",\"cashPrice\":1,\"mesoPrice\":2}", "ab", 1, 2, false);
        good("name of blanks", itemJson("   ", 1, 2, false), "   ", 1, 2, false);
        good("escaped name", "{\"name\":\"\\uD55C\\t\\\"\",\"cashPrice\":1,\"mesoPrice\":2}", "\xED\x95\x9C\t\"", 1, 2,
             false);

        skipped("cash price 0", itemJson("x", 0, 2, false), notAboveZero);
        skipped("cash price -1", itemJson("x", -1, 2, false), notAboveZero);
        skipped("cash price missing", "{\"name\":\"x\",\"mesoPrice\":2}", notAboveZero);
        skipped("cash price string", "{\"name\":\"x\",\"cashPrice\":\"5900\",\"mesoPrice\":2}", notAboveZero);
        skipped("cash price 5900.0", "{\"name\":\"x\",\"cashPrice\":5900.0,\"mesoPrice\":2}", notAboveZero);
        skipped("cash price 2^31", itemJson("x", 2147483648LL, 2, false), cashTooLarge);
        skipped("cash price 2^32+1", itemJson("x", 4294967297LL, 2, false), cashTooLarge);
        skipped("cash price largest 64-bit", itemJson("x", 9223372036854775807LL, 2, false), cashTooLarge);
        skipped("meso price 0", itemJson("x", 1, 0, false), notAboveZero);
        skipped("meso price -1", itemJson("x", 1, -1, false), notAboveZero);
        skipped("meso price missing", "{\"name\":\"x\",\"cashPrice\":1}", notAboveZero);
        skipped("meso price string", "{\"name\":\"x\",\"cashPrice\":1,\"mesoPrice\":\"2\"}", notAboveZero);
        skipped("meso price 1.5", "{\"name\":\"x\",\"cashPrice\":1,\"mesoPrice\":1.5}", notAboveZero);
        skipped("meso price 2^63", "{\"name\":\"x\",\"cashPrice\":1,\"mesoPrice\":9223372036854775808}", "메소 가격이 9,223,372,036,854,775,807보다 큼");
        skipped("empty name", itemJson("", 1, 2, false), noName);
        skipped("name only NUL", "{\"name\":\"\\u0000x\",\"cashPrice\":1,\"mesoPrice\":2}", noName);
        skipped("name missing", "{\"cashPrice\":1,\"mesoPrice\":2}", noName);
        skipped("name number", "{\"name\":5,\"cashPrice\":1,\"mesoPrice\":2}", noName);
        skipped("name null", "{\"name\":null,\"cashPrice\":1,\"mesoPrice\":2}", noName);
        skipped("name array", "{\"name\":[\"x\"],\"cashPrice\":1,\"mesoPrice\":2}", noName);
        skipped("Name is not name", "{\"Name\":\"x\",\"cashPrice\":1,\"mesoPrice\":2}", noName);
        skipped("number element", "5", notAnItem);
        skipped("null element", "null", notAnItem);
        skipped("array element", "[\"x\",1,2]", notAnItem);
        skipped("string element", "\"x\"", notAnItem);
        skipped("empty object", "{}", noName);
    }

    void element()
    {
        QFETCH(QByteArray, element);
        QFETCH(bool, added);
        QFETCH(QByteArray, name);
        QFETCH(int, cash);
        QFETCH(qlonglong, meso);
        QFETCH(bool, mileage);

        start();
        QVERIFY(load("{\"rate\":1000,\"fee\":5,\"rateOfDiscount\":0,\"auctionItems\":[" + itemJson("before", 1, 1, true)
                     + "," + element + "," + itemJson("after", 3, 3, false) + "]}"));
        // In the "name" column, a skipped element's reason.
        QCOMPARE(Prompt::takeMessages(),
                 added ? QStringList()
                       : QStringList{loadNote(QString::fromUtf8("건너뛴 아이템 1개\n- ") + QString::fromUtf8(name)
                                              + QString::fromUtf8(": 1개"))});

        const QList<Entry> entries = storedEntries();
        QCOMPARE(entries.size(), added ? 3 : 2);
        QCOMPARE(entries.first().name, QByteArray("before"));
        QCOMPARE(entries.last().name, QByteArray("after"));
        QCOMPARE(entries.last().cashPrice, 3);
        QCOMPARE(window->table()->rowCount(), entries.size());
        if (!added)
            return;
        QCOMPARE(entries[1].name, name);
        QCOMPARE(entries[1].cashPrice, cash);
        QCOMPARE(qlonglong(entries[1].mesoPrice), meso);
        QCOMPARE(entries[1].isUseMileage, mileage);
    }

    // A load that left items out or replaced settings says so in one
    // message, and leaves the file as it was.
    void loadSaysWhatItLeftOut()
    {
        start();
        setRatio(window, 3000);
        const QByteArray text = "{\"rate\":60000000,\"fee\":4,\"rateOfDiscount\":150,\"auctionItems\":["
            + itemJson("kept", 10000, 300000000, true) + "," + itemJson("", 10000, 300000000, true) + ","
            + itemJson("zero", 0, 300000000, true) + ",{\"name\":\"text\",\"cashPrice\":10000,\"mesoPrice\":\"3\"},"
            + itemJson("large", 2147483648LL, 300000000, true) + ",5]}";
        const QString path = dataPath(QStringLiteral("load.json"));
        QVERIFY(writeAll(path, text));
        Prompt::queueSaveAnswer(Prompt::SaveAnswer::Discard);
        openThroughMenu(window, path);

        QCOMPARE(Prompt::takeQuestions(), QStringList{unsavedQuestion});
        QCOMPARE(Prompt::takeMessages(),
                 QStringList{QString::fromUtf8(
                     "불러온 파일에서 그대로 쓰지 못한 것이 있습니다. 파일은 바뀌지 않았습니다.\n"
                     "\n"
                     "건너뛴 아이템 5개\n"
                     "- 이름이 없음: 1개\n"
                     "- 가격이 0보다 큰 정수가 아님: 2개\n"
                     "- 캐시 가격이 2,147,483,647보다 큼: 1개\n"
                     "- 아이템이 아님: 1개\n"
                     "\n"
                     "바꾼 설정\n"
                     "- 1억당 비율: 60,000,000원 → 3,000원(쓰던 비율). 1억당 비율은 50,000,000원 이하로 "
                     "입력해주세요. 그보다 크면 1원당 메소가 0이 됩니다.\n"
                     "- 수수료: 4% → 5%. 3% 또는 5%만 쓸 수 있습니다.\n"
                     "- 캐시 충전 할인율: 150% → 100%. 0 ~ 100%만 쓸 수 있습니다.")});
        QCOMPARE(readAll(path), text);
        QCOMPARE(storedEntries().size(), 1);
        QCOMPARE(storedEntries().first().name, QByteArray("kept"));
    }

    void itemsMember_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("missing") << QByteArray("{\"rate\":1000,\"fee\":5,\"rateOfDiscount\":0}");
        QTest::newRow("object") << QByteArray("{\"rate\":1000,\"auctionItems\":{\"name\":\"x\",\"cashPrice\":1,\"mesoPrice\":1}}");
        QTest::newRow("string") << QByteArray("{\"rate\":1000,\"auctionItems\":\"x\"}");
        QTest::newRow("number") << QByteArray("{\"rate\":1000,\"auctionItems\":5}");
        QTest::newRow("null") << QByteArray("{\"rate\":1000,\"auctionItems\":null}");
        QTest::newRow("empty object root") << QByteArray("{}");
        QTest::newRow("whitespace around") << QByteArray(" \t\r\n{\"rate\":1000} \r\n\t");
    }

    // A ledger without usable items is still a ledger: it loads, empty.
    void itemsMember()
    {
        QFETCH(QByteArray, text);
        start();
        setRatio(window, 1000);
        LedgerStore::instance().addItem("old", 1, 1, false);
        Prompt::queueAnswer(true);
        QVERIFY(load(text));
        QCOMPARE(LedgerStore::instance().items().size(), size_t(0));
        QCOMPARE(window->table()->rowCount(), 0);
    }

    // Anything that is not a ledger object is refused before a question is
    // asked, and the ledger stays exactly as it was.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("kind"); // 0 file with text, 1 no file, 2 a directory

        const QByteArray good = "{\"rate\":2000,\"fee\":3,\"rateOfDiscount\":1.0,\"auctionItems\":["
            + itemJson("new", 5, 6, true) + "]}";
        QTest::newRow("missing file") << QByteArray() << 1;
        QTest::newRow("directory") << QByteArray() << 2;
        QTest::newRow("empty file") << QByteArray("") << 0;
        QTest::newRow("only whitespace") << QByteArray(" \r\n\t ") << 0;
        QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + good << 0;
        QTest::newRow("line comment") << "// ledger\n" + good << 0;
        QTest::newRow("block comment") << QByteArray("{/* c */\"rate\":2000}") << 0;
        QTest::newRow("text after the object") << good + "x" << 0;
        QTest::newRow("second object") << good + good << 0;
        QTest::newRow("trailing comma in object") << QByteArray("{\"rate\":2000,}") << 0;
        QTest::newRow("trailing comma in items")
            << "{\"rate\":2000,\"auctionItems\":[" + itemJson("new", 5, 6, true) + ",]}" << 0;
        QTest::newRow("cut short") << good.left(good.size() - 1) << 0;
        QTest::newRow("single quotes") << QByteArray("{'rate':2000}") << 0;
        QTest::newRow("NaN") << QByteArray("{\"rateOfDiscount\":NaN}") << 0;
        QTest::newRow("leading zero") << QByteArray("{\"rate\":02000}") << 0;
        QTest::newRow("raw line feed in name")
            << QByteArray("{\"auctionItems\":[{\"name\":\"a\nb\",\"cashPrice\":1,\"mesoPrice\":1}]}") << 0;
        QTest::newRow("form feed before") << "\f" + good << 0;
        QTest::newRow("root array") << "[" + good + "]" << 0;
        QTest::newRow("root number") << QByteArray("2000") << 0;
        QTest::newRow("root string") << QByteArray("\"{}\"") << 0;
        QTest::newRow("root null") << QByteArray("null") << 0;
        QTest::newRow("root true") << QByteArray("true") << 0;
        QTest::newRow("100000 open arrays") << QByteArray(100000, '[') << 0;
        QTest::newRow("100000 nested arrays") << QByteArray(100000, '[') + QByteArray(100000, ']') << 0;
    }

    void refused()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, kind);

        start();
        setRatio(window, 1000);
        setDiscount(window, 4);
        LedgerStore::instance().addItem("old", 10000, 300000000, true);
        const QString before = describe(window);

        const QString path = dataPath(QStringLiteral("refused.json"));
        if (kind == 0)
            QVERIFY(writeAll(path, text));
        else if (kind == 2)
            QVERIFY(QDir().mkpath(path));
        Prompt::queueAnswer(true);
        Prompt::queueSaveAnswer(Prompt::SaveAnswer::Discard);
        openThroughMenu(window, path);

        QCOMPARE(Prompt::takeMessages(), QStringList{loadFailed});
        QCOMPARE(Prompt::takeQuestions(), QStringList{unsavedQuestion});
        QCOMPARE(describe(window), before);
    }

    // Every file of the JSON parsing test suite, opened as a ledger. Files
    // that must be rejected are refused with the ledger untouched; files of
    // valid JSON are taken exactly when their root is an object.
    void jsonTestSuite()
    {
        const QDir suite(QStringLiteral(PELARIN_JSON_SUITE_DIR));
        const QStringList files = suite.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
        if (files.isEmpty())
            QSKIP("the JSON parsing test suite is not on this machine");

        start();
        setRatio(window, 1000);
        const int32_t keptId = LedgerStore::nextItemId();
        LedgerStore::instance().addItem("kept", 10000, 300000000, true);

        QStringList wrong;
        int refusedCount = 0;
        int acceptedCount = 0;
        // First pass: the table has a row and every question is answered No,
        // so nothing may change whatever the file holds.
        for (const QString &name : files) {
            const QByteArray bytes = readAll(suite.filePath(name));
            int first = 0;
            while (first < bytes.size() && QByteArray(" \t\r\n").contains(bytes.at(first)))
                ++first;
            const bool objectRoot = first < bytes.size() && bytes.at(first) == '{';

            const QString before = describe(window);
            Prompt::setScripted(true);
            window->loadLedgerFrom(suite.filePath(name));
            const QStringList messages = Prompt::takeMessages();
            const QStringList questions = Prompt::takeQuestions();
            const bool refusedHere = messages == QStringList{loadFailed} && questions.isEmpty();
            const bool acceptedHere = messages.isEmpty() && questions == QStringList{replaceQuestion};
            refusedCount += refusedHere;
            acceptedCount += acceptedHere;

            bool right = refusedHere || acceptedHere;
            if (name.startsWith(QLatin1String("n_")))
                right = refusedHere;
            else if (name.startsWith(QLatin1String("y_")))
                right = objectRoot ? acceptedHere : refusedHere;
            if (!right)
                wrong << QStringLiteral("%1: messages %2, questions %3")
                             .arg(name, messages.join(QLatin1Char(';')))
                             .arg(questions.size());
            if (describe(window) != before)
                wrong << name + QStringLiteral(": the ledger changed");
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
        QVERIFY(LedgerStore::instance().findItem(keptId));
        qInfo("%d files: %d refused, %d asked about", int(files.size()), refusedCount, acceptedCount);

        // Second pass: every question is answered Yes, so the files that are
        // taken run the whole load.
        for (const QString &name : files) {
            Prompt::setScripted(true);
            Prompt::queueAnswer(true);
            const bool loaded = window->loadLedgerFrom(suite.filePath(name));
            const QStringList messages = Prompt::takeMessages();
            if (name.startsWith(QLatin1String("n_")) && (loaded || messages != QStringList{loadFailed}))
                wrong << name + QStringLiteral(": loaded");
            if (loaded && messages.contains(loadFailed))
                wrong << name + QStringLiteral(": loaded after refusing");
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    // --- failures while saving ------------------------------------------------

    void writeFailsAtEveryByte()
    {
        const ItemMap one = manyItems(1);
        const JsonFileIo::Producer small = ledgerOf(one);
        const QByteArray smallText = compactText(small);
        QVERIFY(smallText.startsWith("{\"rate\":1800,"));

        for (int limit = 0; limit < smallText.size(); ++limit) {
            FailingDevice device(limit);
            QVERIFY2(!JsonFileIo::write(small, device), qPrintable(QString::number(limit)));
            QCOMPARE(device.written(), smallText.left(limit));
        }
        FailingDevice enough(smallText.size());
        QVERIFY(JsonFileIo::write(small, enough));
        QCOMPARE(enough.written(), smallText);

        // A text of several blocks: limits on and around every block edge and
        // through the text at an odd stride.
        const ItemMap many = manyItems(4000);
        const JsonFileIo::Producer large = ledgerOf(many);
        const QByteArray largeText = compactText(large);
        QVERIFY(largeText.size() > 4 * 65536);
        QList<int> limits;
        for (int limit = 0; limit < largeText.size(); limit += 997)
            limits << limit;
        for (int edge = 65536; edge < largeText.size(); edge += 65536)
            limits << edge - 1 << edge << edge + 1;
        limits << largeText.size() - 1;
        for (int limit : limits) {
            if (limit >= largeText.size())
                continue;
            FailingDevice device(limit);
            QVERIFY2(!JsonFileIo::write(large, device), qPrintable(QString::number(limit)));
            QVERIFY(largeText.startsWith(device.written()));
        }
        FailingDevice whole(largeText.size());
        QVERIFY(JsonFileIo::write(large, whole));
        QCOMPARE(whole.written(), largeText);
    }

    void saveFailure_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("parent is a regular file") << 0;
        QTest::newRow("directory without write permission") << 1;
        QTest::newRow("no room for the temporary file's name") << 2;
    }

    void saveFailure()
    {
        QFETCH(int, kind);

        start();
        setRatio(window, 1000);
        LedgerStore::instance().addItem("new", 1, 2, false);
        const QByteArray oldText = "{\"rate\":1800,\"fee\":5,\"rateOfDiscount\":3.0,\"auctionItems\":["
            + itemJson("old", 5900, 40000000, false) + "]}";

        QString dir;
        QString fileName = QStringLiteral("ledger.json");
        QString path;
        if (kind == 0) {
            dir = folder->path(QStringLiteral("Resource"));
            QVERIFY(writeAll(folder->path(QStringLiteral("Resource/plain")), oldText));
            path = folder->path(QStringLiteral("Resource/plain/ledger.json"));
            fileName = QStringLiteral("plain");
        } else {
            dir = folder->path(QStringLiteral("Resource/ledgers"));
            QVERIFY(QDir().mkpath(dir));
            if (kind == 2)
                // The name itself fits; the save's temporary name beside it
                // (the name and a suffix) is longer than a name may be.
                fileName = QString(245, QLatin1Char('l')) + QStringLiteral(".json");
            path = dir + QLatin1Char('/') + fileName;
            QVERIFY2(writeAll(path, oldText), qPrintable(path));
        }

        if (kind == 1) {
            QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                   | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
            QFile probe(dir + QStringLiteral("/probe"));
            if (probe.open(QIODevice::WriteOnly)) {
                probe.close();
                probe.remove();
                QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                QSKIP("this user writes into a directory without write permission (root)");
            }
        }

        saveThroughMenu(window, path);
        const QStringList messages = Prompt::takeMessages();
        const QByteArray after = readAll(kind == 0 ? folder->path(QStringLiteral("Resource/plain")) : path);
        const QStringList others = otherFiles(dir, {fileName, QStringLiteral("CashItems.json")});
        const bool savedAgain = window->saveLedgerTo(path);
        if (kind == 1)
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QCOMPARE(messages, QStringList{saveFailed});
        QCOMPARE(after, oldText);
        QCOMPARE(others, QStringList());
        QVERIFY(!savedAgain);
    }

    // The process that saves is killed while the new text is being written:
    // the file keeps its old text, or holds the whole new one.
    void killedWhileSaving()
    {
#ifndef Q_OS_LINUX
        QSKIP("watching another process's open files needs /proc");
#else
        folder.reset(new PortableFolder("[]"));
        const QString dir = folder->path(QStringLiteral("Resource/CustomDatas"));
        QVERIFY(QDir().mkpath(dir));
        const QString path = dir + QStringLiteral("/big.json");
        const QByteArray oldText = "{\"rate\":1800,\"fee\":5,\"rateOfDiscount\":3.0,\"auctionItems\":["
            + itemJson("old", 5900, 40000000, false) + "]}";

        const QByteArray newText = compactText(ledgerOf(manyItems(100000)));

        for (int attempt = 0; attempt < 3; ++attempt) {
            QVERIFY(writeAll(path, oldText));

            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--save-loop"), path});
            QVERIFY(child.waitForStarted());
            // The save's new text goes into a file of its own (unnamed where
            // the system allows it) that the child holds open only until the
            // text is complete and put in place.
            // The child opens and closes that file over and over: one look that
            // sees it held is enough, and no later look may undo it.
            bool held = false;
            QElapsedTimer waited;
            waited.start();
            while (!held && child.state() == QProcess::Running && waited.elapsed() < 60000) {
                held = holdsFileIn(child.processId(), dir);
                if (!held)
                    QTest::qWait(1);
            }
            QVERIFY2(held, "the child never held its new text open");
            QCOMPARE(child.state(), QProcess::Running);
            child.kill();
            QVERIFY(child.waitForFinished(30000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            const QByteArray after = readAll(path);
            QVERIFY2(after == oldText || after == newText,
                     qPrintable(QStringLiteral("%1 bytes, neither the old nor the new text").arg(after.size())));
        }
#endif
    }

private:
#ifdef Q_OS_LINUX
    // Whether process pid has a file inside dir open.
    static bool holdsFileIn(qint64 pid, const QString &dir)
    {
        const QString fdDir = QStringLiteral("/proc/%1/fd").arg(pid);
        const QByteArray prefix = QFile::encodeName(QFileInfo(dir).canonicalFilePath()) + '/';
        for (const QString &fd : QDir(fdDir).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
            char target[4096];
            const ssize_t length
                = ::readlink(QFile::encodeName(fdDir + QLatin1Char('/') + fd).constData(), target, sizeof target);
            if (length > 0 && QByteArray(target, int(length)).startsWith(prefix))
                return true;
        }
        return false;
    }
#endif
};

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--save-loop") == 0)
        return saveLoop(QString::fromLocal8Bit(argv[2]));
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    LedgerFileTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ledgerfile.moc"
