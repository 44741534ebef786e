// The ledger exported as CSV and copied as a tab-separated row, without a
// window.

#include "AuctionItem.h"
#include "CsvExport.h"
#include "FailingDevice.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdint>
#include <limits>
#include <random>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

const QByteArray byteOrderMark = "\xEF\xBB\xBF";
const QByteArray header = "아이템,캐시 가격(정가),지불 금액(원),메소 가격,손익(메소),손익(원),1억당 비율,수수료(%),마일리지 할인 여부";

AuctionItem makeItem(const QByteArray &name, int32_t cashPrice, bool isUseMileage, int64_t mesoPrice, int32_t rate,
                     int32_t fee, double rateOfDiscount = 0.0)
{
    AuctionItem item;
    item.name = name;
    item.cashPrice = cashPrice;
    item.isUseMileage = isUseMileage;
    item.mesoPrice = mesoPrice;
    item.rate = rate;
    item.fee = fee;
    item.rateOfDiscount = rateOfDiscount;
    return item;
}

// No ratio: both profits undefined, every other figure plain.
AuctionItem unpricedItem(const QByteArray &name)
{
    return makeItem(name, 5900, false, 40000000, 0, 5);
}

QByteArray exported(const std::vector<CsvExport::Row> &rows)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!CsvExport::write(buffer, rows))
        return QByteArray("write failed");
    return buffer.data();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Reads CSV as RFC 4180 describes it: records end in CRLF, a quoted field
// may hold anything, "" inside quotes is one quote. Empty when the text is
// not well-formed.
std::optional<QList<QList<QByteArray>>> parseCsv(const QByteArray &text)
{
    QList<QList<QByteArray>> records;
    QList<QByteArray> record;
    QByteArray field;
    int i = 0;
    const int size = text.size();
    while (i < size) {
        if (text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= size)
                    return std::nullopt;
                if (text[i] == '"') {
                    if (i + 1 < size && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < size && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                if (text[i] == '"')
                    return std::nullopt;
                field += text[i++];
            }
        }
        record << field;
        field.clear();
        if (i < size && text[i] == ',') {
            ++i;
        } else if (text.mid(i, 2) == "\r\n") {
            records << record;
            record.clear();
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    if (!record.isEmpty())
        return std::nullopt;
    return records;
}

// The name as a spreadsheet must receive it: led by an apostrophe when it
// starts like a formula.
QByteArray guarded(const QByteArray &name)
{
    const bool formula = !name.isEmpty() && QByteArray("=+-@\t\r").contains(name[0]);
    return formula ? "'" + name : name;
}

} // namespace

class CsvTest : public QObject
{
    Q_OBJECT

private slots:
    void wholeText();
    void names_data();
    void names();
    void randomNames();
    void failingDevice();
    void writeFile();
    void failedWriteFileKeepsOldFile_data();
    void failedWriteFileKeepsOldFile();
};

// Mark, header, CRLF after every record, rows in the order given, negative
// and 64-bit figures as plain digits, undefined profits empty.
void CsvTest::wholeText()
{
    const AuctionItem loss = makeItem("별빛 코디 상자", 10000, true, 100000000, 2000, 0);
    const AuctionItem wonUndefined = makeItem("b", 1000, false, 100000000, 60000000, 5);
    const AuctionItem largest = makeItem("c", 100, false, std::numeric_limits<int64_t>::max(), 100000000, 0);
    const AuctionItem noRatio = unpricedItem("d");
    const AuctionItem negativePaid = makeItem("e", 2000, false, 1, 2000, 0, 150.0);
    const std::vector<CsvExport::Row> rows = {
        {9, &loss}, {3, &wonUndefined}, {5, &largest}, {1, &noRatio}, {2, &negativePaid}};

    const QByteArray expected = byteOrderMark + header + "\r\n"
        "별빛 코디 상자,10000,7000,100000000,-250000000,-5000,2000,0,O\r\n"
        "b,1000,1000,100000000,95000000,,60000000,5,X\r\n"
        "c,100,100,9223372036854775807,9223372036854775707,9223372036854775707,100000000,0,X\r\n"
        "d,5900,5900,40000000,,,0,5,X\r\n"
        "e,2000,-1000,1,50000001,1000,2000,0,X\r\n";
    const QByteArray text = exported(rows);
    // Line by line first: a difference then shows in the failure message.
    QCOMPARE(text.split('\n'), expected.split('\n'));
    QCOMPARE(text, expected);
    QCOMPARE(exported({}), byteOrderMark + header + "\r\n");
    QCOMPARE(CsvExport::tabSeparatedRow(9, loss),
             QString::fromUtf8("별빛 코디 상자\t10000\t7000\t100000000\t-250000000\t-5000\t2000\t0\tO"));
    QCOMPARE(CsvExport::tabSeparatedRow(3, wonUndefined), QStringLiteral("b\t1000\t1000\t100000000\t95000000\t\t60000000\t5\tX"));
}

void CsvTest::names_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("csvField");
    QTest::addColumn<QByteArray>("tabField");

    QTest::newRow("plain") << QByteArray("별빛 코디 상자") << QByteArray("별빛 코디 상자") << QByteArray("별빛 코디 상자");
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("comma") << QByteArray("a,b") << QByteArray("\"a,b\"") << QByteArray("a,b");
    QTest::newRow("quote") << QByteArray("say \"hi\"") << QByteArray("\"say \"\"hi\"\"\"") << QByteArray("say \"hi\"");
    QTest::newRow("CR") << QByteArray("a\rb") << QByteArray("\"a\rb\"") << QByteArray("a b");
    QTest::newRow("LF") << QByteArray("a\nb") << QByteArray("\"a\nb\"") << QByteArray("a b");
    QTest::newRow("tab inside") << QByteArray("a\tb") << QByteArray("a\tb") << QByteArray("a b");
    QTest::newRow("equals") << QByteArray("=1+1") << QByteArray("'=1+1") << QByteArray("'=1+1");
    QTest::newRow("plus") << QByteArray("+82") << QByteArray("'+82") << QByteArray("'+82");
    QTest::newRow("minus") << QByteArray("-5") << QByteArray("'-5") << QByteArray("'-5");
    QTest::newRow("at") << QByteArray("@SUM(A1)") << QByteArray("'@SUM(A1)") << QByteArray("'@SUM(A1)");
    QTest::newRow("leading tab") << QByteArray("\t=1") << QByteArray("'\t=1") << QByteArray(" =1");
    QTest::newRow("leading CR") << QByteArray("\r=1") << QByteArray("\"'\r=1\"") << QByteArray(" =1");
    QTest::newRow("formula with quotes and commas")
        << QByteArray("=HYPERLINK(\"x\",\"y\")") << QByteArray("\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\"")
        << QByteArray("'=HYPERLINK(\"x\",\"y\")");
    QTest::newRow("equals inside") << QByteArray("a=b") << QByteArray("a=b") << QByteArray("a=b");
    QTest::newRow("not UTF-8") << QByteArray("a\xff") << QByteArray("a\xEF\xBF\xBD") << QByteArray("a\xEF\xBF\xBD");
}

void CsvTest::names()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, csvField);
    QFETCH(QByteArray, tabField);

    const AuctionItem item = unpricedItem(name);
    const QByteArray head = byteOrderMark + header + "\r\n";
    const QByteArray text = exported({{0, &item}});
    QVERIFY(text.startsWith(head));
    QCOMPARE(text.mid(head.size()), csvField + ",5900,5900,40000000,,,0,5,X\r\n");
    QCOMPARE(CsvExport::tabSeparatedRow(0, item).toUtf8(), tabField + "\t5900\t5900\t40000000\t\t\t0\t5\tX");
}

// Names made of the characters that matter read back from the file, field
// for field, by an RFC 4180 reader; their tab rows stay one row of nine cells.
void CsvTest::randomNames()
{
    const char *const pieces[] = {"a", "가", ",", "\"", "\r", "\n", "\r\n", "\t", "=", "+", "-", "@", " ", "'", ";"};
    std::mt19937 random(0xc5f1u);
    std::vector<AuctionItem> items;
    for (int k = 0; k < 3000; ++k) {
        QByteArray name;
        const int length = static_cast<int>(random() % 8);
        for (int c = 0; c < length; ++c)
            name += pieces[random() % (sizeof pieces / sizeof *pieces)];
        items.push_back(unpricedItem(name));
    }
    std::vector<CsvExport::Row> rows;
    for (size_t k = 0; k < items.size(); ++k)
        rows.emplace_back(static_cast<int32_t>(k), &items[k]);

    const QByteArray text = exported(rows);
    QVERIFY(text.startsWith(byteOrderMark));
    const auto records = parseCsv(text.mid(byteOrderMark.size()));
    QVERIFY(records);
    QCOMPARE(records->size(), static_cast<int>(items.size()) + 1);
    for (size_t k = 0; k < items.size(); ++k) {
        const QList<QByteArray> &record = records->at(static_cast<int>(k) + 1);
        const QByteArray where = "name " + items[k].name.toPercentEncoding();
        QVERIFY2(record.size() == 9, where.constData());
        QVERIFY2(record[0] == guarded(items[k].name), where.constData());

        const QByteArray tabRow = CsvExport::tabSeparatedRow(0, items[k]).toUtf8();
        QVERIFY2(!tabRow.contains('\r') && !tabRow.contains('\n'), where.constData());
        const QList<QByteArray> cells = tabRow.split('\t');
        QVERIFY2(cells.size() == 9, where.constData());
        QByteArray flattened = items[k].name;
        flattened.replace('\t', ' ').replace('\r', ' ').replace('\n', ' ');
        QVERIFY2(cells[0] == guarded(flattened), where.constData());
    }
}

// A device that refuses the rest of the text at any byte: the export says so at every
// point, and what got through is the beginning of the text.
void CsvTest::failingDevice()
{
    std::vector<AuctionItem> items;
    for (int k = 0; k < 4000; ++k)
        items.push_back(makeItem("아이템 " + QByteArray::number(k), 5900, k % 2 == 0, 40000000 + k, 2000, 5));
    std::vector<CsvExport::Row> rows;
    for (size_t k = 0; k < items.size(); ++k)
        rows.emplace_back(static_cast<int32_t>(k), &items[k]);
    const QByteArray text = exported(rows);
    QVERIFY(text.size() > 3 * 65536);

    QList<int> limits;
    for (int limit = 0; limit < text.size(); limit += 997)
        limits << limit;
    for (int edge = 65536; edge < text.size(); edge += 65536)
        limits << edge - 1 << edge << edge + 1;
    limits << text.size() - 1;
    for (int limit : limits) {
        if (limit >= text.size())
            continue;
        FailingDevice device(limit);
        QVERIFY2(!CsvExport::write(device, rows), qPrintable(QString::number(limit)));
        QVERIFY(text.startsWith(device.written()));
    }
    FailingDevice whole(text.size());
    QVERIFY(CsvExport::write(whole, rows));
    QCOMPARE(whole.written(), text);
}

void CsvTest::writeFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ledger.csv"));
    QVERIFY(writeAll(path, "an older, longer export\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
    const AuctionItem item = unpricedItem("=a,b");
    QVERIFY(CsvExport::writeFile(path, {{0, &item}}));
    QCOMPARE(readAll(path), exported({{0, &item}}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("ledger.csv")});
}

void CsvTest::failedWriteFileKeepsOldFile_data()
{
    QTest::addColumn<bool>("sizeLimit");
    // The file size limit of the process stops the new text half-way, as a
    // full disk would.
    QTest::newRow("write fails half-way") << true;
    // The name fits; the temporary name beside it is longer than a name may be.
    QTest::newRow("no room for the temporary file's name") << false;
}

void CsvTest::failedWriteFileKeepsOldFile()
{
    QFETCH(bool, sizeLimit);
#ifndef Q_OS_UNIX
    if (sizeLimit)
        QSKIP("the file size limit is a Unix resource limit");
#endif
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = sizeLimit ? QStringLiteral("ledger.csv") : QString(245, QLatin1Char('l')) + QStringLiteral(".csv");
    const QString path = dir.filePath(fileName);
    const QByteArray oldText = byteOrderMark + header + "\r\nold,1,1,1,,,0,5,X\r\n";
    QVERIFY(writeAll(path, oldText));

    std::vector<AuctionItem> items;
    for (int k = 0; k < 2000; ++k)
        items.push_back(unpricedItem("아이템 " + QByteArray::number(k)));
    std::vector<CsvExport::Row> rows;
    for (size_t k = 0; k < items.size(); ++k)
        rows.emplace_back(static_cast<int32_t>(k), &items[k]);

    bool written = true;
#ifdef Q_OS_UNIX
    if (sizeLimit) {
        rlimit previous {};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &previous) == 0);
        rlimit limited = previous;
        limited.rlim_cur = 4096;
        // Past the limit a write fails instead of the process being stopped.
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
        written = CsvExport::writeFile(path, rows);
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
#endif
    if (!sizeLimit)
        written = CsvExport::writeFile(path, rows);

    QVERIFY(!written);
    QCOMPARE(readAll(path), oldText);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{fileName});
}

QTEST_GUILESS_MAIN(CsvTest)
#include "tst_csv.moc"
