// Files far beyond anything a user saves: the program must neither crash nor
// stall, and must not need more memory than a small multiple of the file.
// Peak memory is measured as the rise of VmHWM (reset through
// /proc/self/clear_refs) over the resident size before the load.
//
// The 200 MB ledger and the 50 MB name opened through the window run only
// when PELARIN_LIMITS_LARGE is set (the hardening script sets it); the rest
// runs in the normal suite.

#include "CashItem.h"
#include "JsonFileIo.h"
#include "LedgerFile.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "Prompt.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QtTest>

#include <functional>

#ifdef Q_OS_WIN
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define PELARIN_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELARIN_UNDER_ASAN 1
#endif
#endif

namespace {

constexpr qint64 megabyte = 1024 * 1024;

// Memory the process holds beyond what the work itself needs: AddressSanitizer
// keeps freed blocks in a quarantine (256 MB by default) and pads every block.
#ifdef PELARIN_UNDER_ASAN
constexpr qint64 allowance = 400 * megabyte;
constexpr qint64 factorSlack = 2;
#else
constexpr qint64 allowance = 64 * megabyte;
constexpr qint64 factorSlack = 1;
#endif

struct Usage
{
    qint64 peakRise = -1; // bytes above the resident size before, -1 when unknown
    qint64 milliseconds = 0; // processor time, user and system, so that a busy machine does not count
};

#ifdef Q_OS_WIN
qint64 processorMilliseconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    const auto ticks = [](const FILETIME &time) {
        return (static_cast<qint64>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10000; // 100 ns ticks
}

Usage measure(const std::function<void()> &work)
{
    // Windows keeps the peak working set for the life of the process and
    // cannot reset it: the rise is known only when the work sets a new peak.
    Usage usage;
    PROCESS_MEMORY_COUNTERS before{}, after{};
    const bool known = GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    const qint64 started = processorMilliseconds();
    work();
    usage.milliseconds = processorMilliseconds() - started;
    if (known && GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after)
        && after.PeakWorkingSetSize > before.PeakWorkingSetSize)
        usage.peakRise = static_cast<qint64>(after.PeakWorkingSetSize) - static_cast<qint64>(before.WorkingSetSize);
    return usage;
}
#else
qint64 statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

qint64 processorMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

Usage measure(const std::function<void()> &work)
{
    Usage usage;
    // Writing 5 resets the high-water mark (Linux 4.0 and later).
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    const qint64 before = statusKilobytes("VmRSS");
    const qint64 started = processorMilliseconds();
    work();
    usage.milliseconds = processorMilliseconds() - started;
    const qint64 peak = statusKilobytes("VmHWM");
    if (reset && before >= 0 && peak >= 0)
        usage.peakRise = (peak - before) * 1024;
    return usage;
}
#endif

// A peak within factor times the file's size (plus the fixed allowance), and a
// time that a throughput of 2 MB/s (on top of 5 s) explains.
void checkUsage(const Usage &usage, qint64 fileSize, qint64 factor)
{
    qInfo("file %lld MB: peak rise %lld MB, %lld ms of processor time", fileSize / megabyte,
          usage.peakRise < 0 ? -1 : usage.peakRise / megabyte, usage.milliseconds);
    if (usage.peakRise >= 0)
        QVERIFY2(usage.peakRise <= factor * factorSlack * fileSize + allowance,
                 qPrintable(QStringLiteral("peak rise %1 MB for a %2 MB file")
                                .arg(usage.peakRise / megabyte)
                                .arg(fileSize / megabyte)));
    QVERIFY2(usage.milliseconds <= 5000 + fileSize / (2 * megabyte) * 1000,
             qPrintable(QStringLiteral("%1 ms for a %2 MB file").arg(usage.milliseconds).arg(fileSize / megabyte)));
}

// Writes prefix, count repetitions of unit, then suffix, in blocks.
qint64 writeRepeated(const QString &path, const QByteArray &prefix, const QByteArray &unit, qint64 count,
                     const QByteArray &suffix)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return -1;
    file.write(prefix);
    const qint64 perBlock = std::max<qint64>(1, megabyte / std::max(1, unit.size()));
    const QByteArray block = unit.repeated(static_cast<int>(perBlock));
    qint64 written = 0;
    while (written + perBlock <= count) {
        file.write(block);
        written += perBlock;
    }
    file.write(unit.repeated(static_cast<int>(count - written)));
    file.write(suffix);
    return file.size();
}

std::optional<QString> loadCatalogue(const QString &path, CashItemCatalogue &catalogue)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(path));
    rapidjson::Document document;
    JsonFileIo::parse(file, document);
    return CashItemLoader::fill(document, catalogue);
}

} // namespace

class LimitsTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { releaseWindow(); }

    // The reader alone: the document and the item each hold the name once.
    void hugeItemNameInLedgerFile()
    {
        PortableFolder folder;
        const QString path = folder.path(QStringLiteral("name.json"));
        const qint64 nameSize = 50 * megabyte;
        const qint64 size = writeRepeated(path, "{\"rate\":3000,\"auctionItems\":[{\"name\":\"", "n", nameSize,
                                          "\",\"cashPrice\":10000,\"mesoPrice\":300000000}]}");
        LedgerFile::Contents contents;
        bool read = false;
        const Usage usage = measure([&] {
            rapidjson::Document document;
            QVERIFY(JsonFileIo::instance().readLedgerFile(document, path));
            read = LedgerFile::read(document, contents);
        });
        QVERIFY(read);
        QCOMPARE(contents.items.size(), size_t(1));
        QCOMPARE(contents.items.front().name.size(), static_cast<int>(nameSize));
        checkUsage(usage, size, 4);
    }

    // The whole open command: store, table row and column sizing. Slow (the
    // table lays the name out to size its column), so it runs with the
    // large cases.
    void hugeItemNameInWindow_data()
    {
        QTest::addColumn<QByteArray>("character");
        QTest::newRow("Hangul, 3 bytes a character") << QByteArray("\xea\xb0\x80");
        QTest::newRow("ASCII") << QByteArray("n");
    }
    void hugeItemNameInWindow()
    {
        if (qEnvironmentVariableIsEmpty("PELARIN_LIMITS_LARGE"))
            QSKIP("set PELARIN_LIMITS_LARGE=1 to open a ledger with a 50 MB name");
        QFETCH(QByteArray, character);
        PortableFolder folder;
        MainWindow *window = freshWindow();
        QVERIFY(window);
        const QString path = folder.path(QStringLiteral("name.json"));
        const qint64 characters = 50 * megabyte / character.size();
        const qint64 size = writeRepeated(path, "{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[{\"name\":\"",
                                          character, characters,
                                          "\",\"cashPrice\":10000,\"mesoPrice\":300000000,\"isUseMileage\":true}]}");

        bool loaded = false;
        const Usage usage = measure([&] { loaded = window->loadLedgerFrom(path); });
        QVERIFY(loaded);
        QCOMPARE(window->table()->rowCount(), 1);
        const AuctionItem &item = LedgerStore::instance().items().begin()->second;
        QCOMPARE(item.name.size(), static_cast<int>(characters * character.size()));
        QCOMPARE(cellText(window, 0, 1).size(), static_cast<int>(characters));
        QCOMPARE(cellText(window, 0, 4), QStringLiteral("63,338,000"));
        // The bytes as UTF-8 in the store, as UTF-16 in the cell: a few copies.
        checkUsage(usage, size, 8);
    }

    void hugeItemNameInCatalogue()
    {
        PortableFolder folder;
        const QString path = folder.path(QStringLiteral("catalogue.json"));
        const qint64 size = writeRepeated(path, "[{\"name\":\"", "n", 50 * megabyte,
                                          "\",\"price\":4900,\"isUseMileage\":true}]");
        CashItemCatalogue catalogue;
        std::optional<QString> message;
        const Usage usage = measure([&] { message = loadCatalogue(path, catalogue); });
        QVERIFY(!message);
        QCOMPARE(catalogue.size(), size_t(1));
        QCOMPARE(catalogue.at(0).name.size(), static_cast<int>(50 * megabyte));
        checkUsage(usage, size, 4);
    }

    void millionEmptyObjects_data()
    {
        QTest::addColumn<bool>("asLedger");
        QTest::newRow("ledger items") << true;
        QTest::newRow("catalogue") << false;
    }
    void millionEmptyObjects()
    {
        QFETCH(bool, asLedger);
        PortableFolder folder;
        MainWindow *window = freshWindow();
        QVERIFY(window);
        const QString path = folder.path(QStringLiteral("objects.json"));
        const qint64 count = 1000 * 1000;
        const qint64 size = asLedger
            ? writeRepeated(path, "{\"rate\":1800,\"auctionItems\":[{}", ",{}", count - 1, "]}")
            : writeRepeated(path, "[{}", ",{}", count - 1, "]");

        if (asLedger) {
            bool loaded = false;
            const Usage usage = measure([&] { loaded = window->loadLedgerFrom(path); });
            QVERIFY(loaded);
            QCOMPARE(window->table()->rowCount(), 0);
            QVERIFY(LedgerStore::instance().items().empty());
            QVERIFY(window->ratioIsSet());
            // A DOM value is 16 bytes (more with padding under AddressSanitizer)
            // for each 3-byte "{}," of the file.
            checkUsage(usage, size, 12);
        } else {
            CashItemCatalogue catalogue;
            std::optional<QString> message;
            const Usage usage = measure([&] { message = loadCatalogue(path, catalogue); });
            QVERIFY(message);
            QVERIFY(message->endsWith(QString::fromUtf8("1번째 'name' is not found")));
            QVERIFY(catalogue.empty());
            checkUsage(usage, size, 12);
        }
    }

    void deeplyNestedArrays_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::newRow("closed") << true;
        QTest::newRow("left open") << false;
    }
    void deeplyNestedArrays()
    {
        QFETCH(bool, closed);
        PortableFolder folder;
        MainWindow *window = freshWindow();
        QVERIFY(window);
        const qint64 depth = 100 * 1000;
        const QString path = folder.path(QStringLiteral("nested.json"));
        writeRepeated(path, QByteArray(), "[", depth, closed ? QByteArray(depth, ']') : QByteArray());

        // Not an object: the ledger refuses it and stays as it was.
        QVERIFY(!window->loadLedgerFrom(path));
        QCOMPARE(Prompt::takeMessages(), QStringList{QString::fromUtf8("파일 로드 실패!")});
        QCOMPARE(window->table()->rowCount(), 0);

        // As a catalogue: an array whose one element is not an object, or no JSON at all.
        CashItemCatalogue catalogue;
        const std::optional<QString> message = loadCatalogue(path, catalogue);
        QCOMPARE(message.has_value(), closed);
        QVERIFY(catalogue.empty());

        // The reader refuses a root that is not an object without walking it.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        rapidjson::Document document;
        JsonFileIo::parse(file, document);
        QCOMPARE(document.HasParseError(), !closed);
        LedgerFile::Contents contents;
        QVERIFY(!LedgerFile::read(document, contents));
    }

    // 200 MB of items, read by the ledger reader without the window (whose
    // table would hold hundreds of thousands of rows).
    void twoHundredMegabyteLedger()
    {
        if (qEnvironmentVariableIsEmpty("PELARIN_LIMITS_LARGE"))
            QSKIP("set PELARIN_LIMITS_LARGE=1 to read a 200 MB ledger");
        PortableFolder folder;
        const QString path = folder.path(QStringLiteral("large.json"));
        // One item of about 1 KB, its name most of it.
        const QByteArray item = "{\"name\":\"" + QByteArray(1000, 'x')
            + "\",\"cashPrice\":10000,\"mesoPrice\":300000000,\"isUseMileage\":true},";
        const qint64 count = 200 * megabyte / item.size() + 1;
        const qint64 size = writeRepeated(path, "{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[",
                                          item, count, "{\"name\":\"last\",\"cashPrice\":1,\"mesoPrice\":1}]}");
        QVERIFY(size >= 200 * megabyte);

        LedgerFile::Contents contents;
        bool read = false;
        const Usage usage = measure([&] {
            rapidjson::Document document;
            QVERIFY(JsonFileIo::instance().readLedgerFile(document, path));
            QVERIFY(!document.HasParseError());
            read = LedgerFile::read(document, contents);
        });
        QVERIFY(read);
        QCOMPARE(static_cast<qint64>(contents.items.size()), count + 1);
        QCOMPARE(contents.items.back().name, QByteArray("last"));
        QCOMPARE(contents.rate, 3000);
        // The document and the items each hold the names once.
        checkUsage(usage, size, 4);
    }
};

QTEST_MAIN(LimitsTest)
#include "tst_limits.moc"
