#include "QLongLongValidator.h"

#include <QLineEdit>
#include <QMetaProperty>
#include <QtTest>

#include <limits>

namespace {

constexpr qlonglong smallest = std::numeric_limits<qlonglong>::min();
constexpr qlonglong largest = std::numeric_limits<qlonglong>::max();

} // namespace

class ValidatorTest : public QObject
{
    Q_OBJECT

private slots:
    void validate_data()
    {
        QTest::addColumn<qlonglong>("bottom");
        QTest::addColumn<qlonglong>("top");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("expected");

        const int invalid = QValidator::Invalid;
        const int intermediate = QValidator::Intermediate;
        const int acceptable = QValidator::Acceptable;

        // The meso price field's range: every 64-bit value.
        const struct {
            const char *tag;
            const char *input;
            int expected;
        } wholeRange[] = {
            {"empty", "", intermediate},
            {"lone minus", "-", intermediate},
            {"zero", "0", acceptable},
            {"minus zero", "-0", acceptable},
            {"leading zeros", "007", acceptable},
            {"twelve digits", "123456789012", acceptable},
            {"small negative", "-5", acceptable},
            {"plus sign", "+5", acceptable},
            {"largest", "9223372036854775807", acceptable},
            {"largest plus one", "9223372036854775808", invalid},
            {"twenty digits", "12345678901234567890", invalid},
            {"smallest", "-9223372036854775808", acceptable},
            {"smallest minus one", "-9223372036854775809", invalid},
            {"inner blank", "1 000", invalid},
            {"leading blank", " 5", invalid},
            {"trailing blank", "5 ", invalid},
            {"only a blank", " ", invalid},
            {"group separator", "1,000", invalid},
            {"letter", "12a", invalid},
            {"two minus signs", "--5", invalid},
            {"trailing minus", "5-", invalid},
            {"decimal point", "1.5", invalid},
            {"hexadecimal", "0x10", invalid},
        };
        for (const auto &row : wholeRange)
            QTest::newRow(qPrintable(QStringLiteral("default: ") + QLatin1String(row.tag)))
                << smallest << largest << QString::fromLatin1(row.input) << row.expected;

        const struct {
            const char *input;
            int expected;
        } positiveRange[] = {
            {"", intermediate},
            {"5", intermediate},
            {"99", intermediate},
            {"100", acceptable},
            {"500", acceptable},
            {"1000", acceptable},
            {"1001", invalid},
            {"5000", invalid},
            {"-", invalid},
            {"-3", invalid},
        };
        for (const auto &row : positiveRange)
            QTest::newRow(qPrintable(QStringLiteral("100..1000: \"%1\"").arg(QLatin1String(row.input))))
                << qlonglong(100) << qlonglong(1000) << QString::fromLatin1(row.input) << row.expected;

        const struct {
            const char *input;
            int expected;
        } negativeRange[] = {
            {"", intermediate},
            {"-", intermediate},
            {"-5", intermediate},
            {"-99", intermediate},
            {"-100", acceptable},
            {"-500", acceptable},
            {"-1000", acceptable},
            {"-1001", invalid},
            {"-5000", invalid},
            {"0", invalid},
            {"5", invalid},
        };
        for (const auto &row : negativeRange)
            QTest::newRow(qPrintable(QStringLiteral("-1000..-100: \"%1\"").arg(QLatin1String(row.input))))
                << qlonglong(-1000) << qlonglong(-100) << QString::fromLatin1(row.input) << row.expected;

        // Nothing ties the bounds together: above the top nothing is acceptable.
        QTest::newRow("bottom above top: 3") << qlonglong(10) << qlonglong(5) << QStringLiteral("3") << intermediate;
        QTest::newRow("bottom above top: 5") << qlonglong(10) << qlonglong(5) << QStringLiteral("5") << intermediate;
        QTest::newRow("bottom above top: 7") << qlonglong(10) << qlonglong(5) << QStringLiteral("7") << invalid;
        QTest::newRow("bottom above top: 10") << qlonglong(10) << qlonglong(5) << QStringLiteral("10") << invalid;
    }

    void validate()
    {
        QFETCH(qlonglong, bottom);
        QFETCH(qlonglong, top);
        QFETCH(QString, input);
        QFETCH(int, expected);

        QLongLongValidator validator;
        validator.setBottom(bottom);
        validator.setTop(top);

        QString text = input;
        int pos = 2;
        QCOMPARE(int(validator.validate(text, pos)), expected);
        // validate only looks: neither the text nor the cursor moves.
        QCOMPARE(text, input);
        QCOMPARE(pos, 2);
    }

    void propertiesByName()
    {
        QLongLongValidator validator;
        const QMetaObject *meta = validator.metaObject();
        QCOMPARE(meta->className(), "QLongLongValidator");
        QCOMPARE(meta->superClass(), &QValidator::staticMetaObject);

        for (const char *name : {"bottom", "top"}) {
            const int index = meta->indexOfProperty(name);
            QVERIFY2(index >= meta->propertyOffset(), name);
            const QMetaProperty property = meta->property(index);
            QCOMPARE(property.typeName(), "qlonglong");
            QVERIFY(property.isReadable());
            QVERIFY(property.isWritable());
            QVERIFY(property.isStored());
            QVERIFY(!property.hasNotifySignal());
        }

        QCOMPARE(validator.property("bottom"), QVariant(smallest));
        QCOMPARE(validator.property("top"), QVariant(largest));

        QVERIFY(validator.setProperty("bottom", qlonglong(-1000)));
        QVERIFY(validator.setProperty("top", qlonglong(-100)));
        QCOMPARE(validator.bottom(), qlonglong(-1000));
        QCOMPARE(validator.top(), qlonglong(-100));
        QCOMPARE(validator.property("bottom").toLongLong(), qlonglong(-1000));

        // The new range is the one validate uses.
        QString text = QStringLiteral("-500");
        int pos = 0;
        QCOMPARE(validator.validate(text, pos), QValidator::Acceptable);
        text = QStringLiteral("500");
        QCOMPARE(validator.validate(text, pos), QValidator::Invalid);

        // Values beyond 32 bits survive the trip through QVariant.
        QVERIFY(validator.setProperty("top", qlonglong(5000000000LL)));
        QCOMPARE(validator.top(), qlonglong(5000000000LL));
    }

    void lineEditRefusesInvalidTyping_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");

        QTest::newRow("digits") << QStringLiteral("300000000") << QStringLiteral("300000000");
        QTest::newRow("letters dropped") << QStringLiteral("12a3b") << QStringLiteral("123");
        QTest::newRow("blanks dropped") << QStringLiteral("1 000") << QStringLiteral("1000");
        QTest::newRow("comma dropped") << QStringLiteral("1,000") << QStringLiteral("1000");
        QTest::newRow("second minus dropped") << QStringLiteral("--5") << QStringLiteral("-5");
        QTest::newRow("negative") << QStringLiteral("-5") << QStringLiteral("-5");
        QTest::newRow("digit beyond 64 bits dropped")
            << QStringLiteral("92233720368547758079") << QStringLiteral("9223372036854775807");
    }

    void lineEditRefusesInvalidTyping()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);

        QLineEdit field;
        field.setValidator(new QLongLongValidator(&field));
        QTest::keyClicks(&field, typed);
        QCOMPARE(field.text(), shown);
    }
};

QTEST_MAIN(ValidatorTest)
#include "tst_validator.moc"
