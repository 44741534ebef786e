#include "LedgerStore.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "QRegister.h"
#include "TestSupport.h"

#include <QListWidget>
#include <QtTest>

// The catalogue is read through the real start-up: a portable folder holds
// Resource/CashItems.json and a fresh main window initialises itself.
namespace {

QByteArray entry(const QByteArray &name, qint64 price, bool mileage = true)
{
    return "{\"name\":\"" + name + "\",\"price\":" + QByteArray::number(price)
        + ",\"isUseMileage\":" + (mileage ? "true" : "false") + "}";
}

// A catalogue array of `count` good entries with `faulty` at position
// faultyPosition (1-based), followed by one more good entry.
QByteArray withFaultAt(int faultyPosition, const QByteArray &faulty)
{
    QByteArrayList elements;
    for (int i = 1; i < faultyPosition; ++i)
        elements << entry("item" + QByteArray::number(i), 1000 * i);
    elements << faulty;
    elements << entry("after", 1);
    return "[" + elements.join(',') + "]";
}

QString failure(int position, const char *problem)
{
    return QString::fromUtf8("CashItems.json 파일 수정 실패 : ") + QString::number(position)
        + QString::fromUtf8("번째 ") + QLatin1String(problem);
}

const CashItemCatalogue &catalogue()
{
    return registerDialog()->catalogue();
}

QListWidget *pickList()
{
    return registerDialog()->findChild<QListWidget *>(QStringLiteral("listWidget"));
}

} // namespace

class CatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { releaseWindow(); }

    void missingFile()
    {
        PortableFolder folder{QByteArray()};
        QVERIFY(!freshWindow());
        QCOMPARE(Prompt::takeMessages(), QStringList{QString::fromUtf8("CashItems.json 파일 로드 실패!")});
    }

    void unreadableFile()
    {
        // A directory in the catalogue's place cannot be read as a file.
        PortableFolder folder{QByteArray()};
        QVERIFY(QDir(folder.root()).mkpath(QStringLiteral("Resource/CashItems.json")));
        QVERIFY(!freshWindow());
        QCOMPARE(Prompt::takeMessages(), QStringList{QString::fromUtf8("CashItems.json 파일 로드 실패!")});
    }

    // Text that is not a JSON array of objects: the catalogue stays empty,
    // nothing is said and the program starts.
    void notACatalogue_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray good = "[" + entry("a", 4900) + "]";
        QTest::newRow("empty array") << QByteArray("[]");
        QTest::newRow("empty array in blanks") << QByteArray(" \t\r\n[ ]\n");
        QTest::newRow("empty file") << QByteArray("");
        QTest::newRow("only whitespace") << QByteArray(" \t\r\n  \n");
        QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + good;
        QTest::newRow("block comment") << "[/* first */" + entry("a", 4900) + "]";
        QTest::newRow("line comment") << "// catalogue\n" + good;
        QTest::newRow("trailing comma") << "[" + entry("a", 4900) + ",]";
        QTest::newRow("text after the array") << good + " x";
        QTest::newRow("second root value") << good + good;
        QTest::newRow("unclosed array") << "[" + entry("a", 4900);
        QTest::newRow("single quotes") << QByteArray("[{'name':'a','price':1,'isUseMileage':true}]");
        QTest::newRow("form feed is not whitespace") << "\f" + good;
        QTest::newRow("root object") << entry("a", 4900);
        QTest::newRow("root number") << QByteArray("42");
        QTest::newRow("root string") << QByteArray("\"[]\"");
        QTest::newRow("root null") << QByteArray("null");
        QTest::newRow("100000 unclosed arrays") << QByteArray(100000, '[');
    }

    void notACatalogue()
    {
        QFETCH(QByteArray, text);
        PortableFolder folder(text);
        QVERIFY(freshWindow());
        QCOMPARE(Prompt::takeMessages(), QStringList());
        QCOMPARE(catalogue().size(), size_t(0));
        QCOMPARE(pickList()->count(), 0);
    }

    // The first faulty element stops the start-up with one message naming it.
    void faultyElement_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("keptBefore");

        QTest::newRow("3rd lacks isUseMileage")
            << withFaultAt(3, "{\"name\":\"c\",\"price\":3000}") << failure(3, "'isUseMileage' is not found") << 2;
        QTest::newRow("12th lacks price")
            << withFaultAt(12, "{\"name\":\"l\",\"isUseMileage\":true}") << failure(12, "'price' is not found") << 11;
        QTest::newRow("1st lacks name")
            << withFaultAt(1, "{\"price\":100,\"isUseMileage\":true}") << failure(1, "'name' is not found") << 0;
        QTest::newRow("lacks name and price")
            << withFaultAt(2, "{\"isUseMileage\":true}") << failure(2, "'name' is not found") << 1;
        QTest::newRow("empty object") << withFaultAt(4, "{}") << failure(4, "'name' is not found") << 3;
        QTest::newRow("\"Name\" is not \"name\"")
            << withFaultAt(2, "{\"Name\":\"b\",\"price\":1,\"isUseMileage\":true}") << failure(2, "'name' is not found")
            << 1;
        QTest::newRow("\"name \" is not \"name\"")
            << withFaultAt(2, "{\"name \":\"b\",\"price\":1,\"isUseMileage\":true}") << failure(2, "'name' is not found")
            << 1;
        QTest::newRow("\"Price\" is not \"price\"")
            << withFaultAt(2, "{\"name\":\"b\",\"Price\":1,\"isUseMileage\":true}") << failure(2, "'price' is not found")
            << 1;
        QTest::newRow("\"ismileage\" is not \"isUseMileage\"")
            << withFaultAt(2, "{\"name\":\"b\",\"price\":1,\"isusemileage\":true}")
            << failure(2, "'isUseMileage' is not found") << 1;

        QTest::newRow("number element") << withFaultAt(2, "5") << failure(2, "element is not an object") << 1;
        QTest::newRow("null element") << withFaultAt(1, "null") << failure(1, "element is not an object") << 0;
        QTest::newRow("array element") << withFaultAt(3, "[]") << failure(3, "element is not an object") << 2;
        QTest::newRow("string element") << withFaultAt(2, "\"name\"") << failure(2, "element is not an object") << 1;
        QTest::newRow("name is a number")
            << withFaultAt(2, "{\"name\":5,\"price\":1,\"isUseMileage\":true}") << failure(2, "'name' is not a string")
            << 1;
        QTest::newRow("name is null")
            << withFaultAt(2, "{\"name\":null,\"price\":1,\"isUseMileage\":true}") << failure(2, "'name' is not a string")
            << 1;
        // A price that is not a 32-bit integer.
        const std::pair<const char *, const char *> badPrices[] = {
            {"price is a string", "\"4900\""}, {"price has a fraction", "4900.5"},
            {"price written with a point", "4900.0"}, {"price with an exponent", "1e3"},
            {"price above 32 bits", "2147483648"}, {"price below 32 bits", "-2147483649"}, {"price is null", "null"}};
        for (const auto &[tag, price] : badPrices)
            QTest::newRow(tag) << withFaultAt(2, "{\"name\":\"b\",\"price\":" + QByteArray(price) + ",\"isUseMileage\":true}")
                               << failure(2, "'price' is not a 32-bit integer") << 1;
        // Missing beats mistyped: the keys are looked at in order.
        QTest::newRow("mistyped name, no price")
            << withFaultAt(2, "{\"name\":1,\"isUseMileage\":true}") << failure(2, "'name' is not a string") << 1;
        QTest::newRow("mistyped price, no mileage")
            << withFaultAt(2, "{\"name\":\"b\",\"price\":\"1\"}") << failure(2, "'price' is not a 32-bit integer") << 1;

        // 100,000 arrays nested in one another: one element, not an object.
        QTest::newRow("100000 nested arrays")
            << QByteArray(100000, '[') + QByteArray(100000, ']') << failure(1, "element is not an object") << 0;

        QByteArrayList many;
        for (int i = 0; i < 49999; ++i)
            many << entry("item" + QByteArray::number(i), i);
        many << "{\"name\":\"last\",\"isUseMileage\":false}";
        QTest::newRow("50000th lacks price")
            << "[" + many.join(',') + "]" << failure(50000, "'price' is not found") << 49999;
    }

    void faultyElement()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        QFETCH(int, keptBefore);

        PortableFolder folder(text);
        QVERIFY(!freshWindow());
        QCOMPARE(Prompt::takeMessages(), QStringList{message});
        // The entries before the faulty one were read; none after it.
        QCOMPARE(catalogue().size(), size_t(keptBefore));
        if (keptBefore > 0)
            QCOMPARE(catalogue().rbegin()->first, keptBefore - 1);
    }

    // How each value of an accepted element is read.
    void entryValues_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("price");
        QTest::addColumn<bool>("mileage");

        QTest::newRow("minimal") << QByteArray("{\"name\":\"x\",\"price\":4900,\"isUseMileage\":true}")
                                 << QByteArray("x") << 4900 << true;
        QTest::newRow("mileage false") << QByteArray("{\"name\":\"x\",\"price\":1,\"isUseMileage\":false}")
                                       << QByteArray("x") << 1 << false;
        QTest::newRow("mileage 1") << QByteArray("{\"name\":\"x\",\"price\":1,\"isUseMileage\":1}")
                                   << QByteArray("x") << 1 << false;
        QTest::newRow("mileage \"true\"") << QByteArray("{\"name\":\"x\",\"price\":1,\"isUseMileage\":\"true\"}")
                                          << QByteArray("x") << 1 << false;
        QTest::newRow("mileage null") << QByteArray("{\"name\":\"x\",\"price\":1,\"isUseMileage\":null}")
                                      << QByteArray("x") << 1 << false;
        QTest::newRow("mileage object") << QByteArray("{\"name\":\"x\",\"price\":1,\"isUseMileage\":{}}")
                                        << QByteArray("x") << 1 << false;
        QTest::newRow("keys in another order")
            << QByteArray("{\"isUseMileage\":true,\"price\":7,\"name\":\"x\"}") << QByteArray("x") << 7 << true;
        QTest::newRow("extra keys")
            << QByteArray("{\"comment\":\"ignored\",\"name\":\"x\",\"id\":99,\"price\":5,\"isUseMileage\":true,"
                          "\"extra\":[1,{\"name\":\"y\"}]}")
            << QByteArray("x") << 5 << true;
        QTest::newRow("first of duplicate keys")
            << QByteArray("{\"name\":\"first\",\"price\":1,\"isUseMileage\":true,\"name\":\"second\",\"price\":2,"
                          "\"isUseMileage\":false}")
            << QByteArray("first") << 1 << true;
        QTest::newRow("name cut at embedded NUL")
            << QByteArray("{\"name\":\"ab\\u0000cd\",\"price\":1,\"isUseMileage\":true}") << QByteArray("ab") << 1
            << true;
        QTest::newRow("name that is only NUL")
            << QByteArray("{\"name\":\"\\u0000\",\"price\":1,\"isUseMileage\":true}") << QByteArray() << 1 << true;
        QTest::newRow("empty name") << QByteArray("{\"name\":\"\",\"price\":1,\"isUseMileage\":true}") << QByteArray()
                                    << 1 << true;
        QTest::newRow("escapes in name")
            << QByteArray("{\"name\":\"q\\\"b\\\\s\\/t\\u0041\\uD55C\",\"price\":1,\"isUseMileage\":true}")
            << QByteArray("q\"b\\s/tA\xED\x95\x9C") << 1 << true;
        QTest::newRow("Korean name") << QByteArray("{\"name\":\"고급 원더 블랙\",\"price\":4900,\"isUseMileage\":true}")
                                     << QByteArray("고급 원더 블랙") << 4900 << true;
        QTest::newRow("price zero") << QByteArray("{\"name\":\"x\",\"price\":0,\"isUseMileage\":true}")
                                    << QByteArray("x") << 0 << true;
        QTest::newRow("negative price") << QByteArray("{\"name\":\"x\",\"price\":-4900,\"isUseMileage\":true}")
                                        << QByteArray("x") << -4900 << true;
        QTest::newRow("largest price") << QByteArray("{\"name\":\"x\",\"price\":2147483647,\"isUseMileage\":true}")
                                       << QByteArray("x") << 2147483647 << true;
        QTest::newRow("smallest price") << QByteArray("{\"name\":\"x\",\"price\":-2147483648,\"isUseMileage\":true}")
                                        << QByteArray("x") << int(-2147483647 - 1) << true;
    }

    void entryValues()
    {
        QFETCH(QByteArray, element);
        QFETCH(QByteArray, name);
        QFETCH(int, price);
        QFETCH(bool, mileage);

        PortableFolder folder("[" + element + "]");
        QVERIFY(freshWindow());
        QCOMPARE(Prompt::takeMessages(), QStringList());
        QCOMPARE(catalogue().size(), size_t(1));
        const CashItem &item = catalogue().at(0);
        QCOMPARE(item.name, name);
        QCOMPARE(item.price, price);
        QCOMPARE(item.isUseMileage, mileage);
    }

    void positionsAreKeysInFileOrder()
    {
        // Repeated names stay separate entries; keys follow the file, also
        // past the point where text order and number order part (10 < 9).
        QByteArrayList elements;
        for (int i = 0; i < 12; ++i)
            elements << entry(i % 2 ? "same" : "other" + QByteArray::number(i), 100 + i, i % 3 == 0);
        PortableFolder folder("[" + elements.join(',') + "]");
        QVERIFY(freshWindow());
        QCOMPARE(Prompt::takeMessages(), QStringList());

        QCOMPARE(catalogue().size(), size_t(12));
        int expectedKey = 0;
        for (const auto &pair : catalogue()) {
            QCOMPARE(pair.first, expectedKey);
            QCOMPARE(pair.second.price, 100 + expectedKey);
            QCOMPARE(pair.second.isUseMileage, expectedKey % 3 == 0);
            ++expectedKey;
        }
        QCOMPARE(catalogue().at(1).name, QByteArray("same"));
        QCOMPARE(catalogue().at(3).name, QByteArray("same"));

        QCOMPARE(pickList()->count(), 12);
        QCOMPARE(pickList()->item(0)->text(), QString::fromUtf8("1. other0 : 100원"));
        QCOMPARE(pickList()->item(9)->text(), QString::fromUtf8("10. same : 109원"));
        QCOMPARE(pickList()->item(10)->text(), QString::fromUtf8("11. other10 : 110원"));
    }

    void largeCatalogue()
    {
        QByteArrayList elements;
        for (int i = 0; i < 50000; ++i)
            elements << entry("item" + QByteArray::number(i), 1000 + i, i % 2 == 0);
        PortableFolder folder("[" + elements.join(',') + "]");
        QVERIFY(freshWindow());
        QCOMPARE(Prompt::takeMessages(), QStringList());
        QCOMPARE(catalogue().size(), size_t(50000));
        QCOMPARE(catalogue().at(49999).name, QByteArray("item49999"));
        QCOMPARE(pickList()->count(), 50000);
        QCOMPARE(pickList()->item(49999)->text(), QString::fromUtf8("50000. item49999 : 50,999원"));
    }

    void faultReportedOnlyOnce()
    {
        // Two faulty elements: only the first is named.
        PortableFolder folder("[" + entry("a", 1) + ",{\"name\":\"b\"},{\"price\":1}]");
        QVERIFY(!freshWindow());
        QCOMPARE(Prompt::takeMessages(), QStringList{failure(2, "'price' is not found")});
    }
};

QTEST_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
