// The profit arithmetic and number formatting, without a window.
//
// Besides fixed cases, every figure is compared over random inputs with a
// second model of the same steps that does not use the machine's float or
// double arithmetic at all: it keeps every intermediate value exact as an
// integer times a power of two and rounds it to 24 or 53 significant bits
// (to nearest, ties to even) where the program's single or double precision
// step rounds. A compiler that fuses a multiply and an add, keeps a product
// in a wider register or converts an integer the wrong way shows up as a
// difference.

#include "AuctionItem.h"
#include "ProfitMath.h"

#include <QtTest>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <string>

using ProfitMath::formatThousands;

namespace {

using Wide = __int128;
using UnsignedWide = unsigned __int128;

// value = mantissa * 2^exponent, exactly.
struct Exact
{
    Wide mantissa;
    int exponent;
};

Exact exactInteger(int64_t value)
{
    return {value, 0};
}

// A double taken apart without rounding: 53 bits of fraction suffice.
Exact exactDouble(double value)
{
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    return {static_cast<Wide>(static_cast<int64_t>(std::ldexp(fraction, 53))), exponent - 53};
}

Exact times(const Exact &a, const Exact &b)
{
    // At most 64 + 53 bits: inside 127.
    return {a.mantissa * b.mantissa, a.exponent + b.exponent};
}

Exact minus(const Exact &a, const Exact &b)
{
    const int exponent = std::min(a.exponent, b.exponent);
    // The operands here are 1.0 and a fraction no smaller than 2^-70, so the
    // shifts stay far below the width of Wide.
    const Wide left = a.mantissa * (Wide(1) << (a.exponent - exponent));
    const Wide right = b.mantissa * (Wide(1) << (b.exponent - exponent));
    return {left - right, exponent};
}

int bitLength(UnsignedWide magnitude)
{
    int length = 0;
    while (magnitude != 0) {
        magnitude >>= 1;
        ++length;
    }
    return length;
}

// Rounds to the nearest value with at most `bits` significant bits, ties
// to even: what storing into a float (24) or a double (53) does. Overflow
// and subnormals cannot occur for the magnitudes used here.
Exact roundToBits(const Exact &value, int bits)
{
    const bool negative = value.mantissa < 0;
    UnsignedWide magnitude = negative ? UnsignedWide(-value.mantissa) : UnsignedWide(value.mantissa);
    const int length = bitLength(magnitude);
    if (length <= bits)
        return value;
    const int shift = length - bits;
    UnsignedWide kept = magnitude >> shift;
    const UnsignedWide dropped = magnitude & ((UnsignedWide(1) << shift) - 1);
    const UnsignedWide half = UnsignedWide(1) << (shift - 1);
    if (dropped > half || (dropped == half && (kept & 1)))
        ++kept;
    const Wide rounded = static_cast<Wide>(kept);
    return {negative ? -rounded : rounded, value.exponent + shift};
}

Exact toDouble(const Exact &value)
{
    return roundToBits(value, 53);
}

Exact toFloat(const Exact &value)
{
    return roundToBits(value, 24);
}

// Drops the fraction toward zero.
Wide truncated(const Exact &value)
{
    if (value.exponent >= 0)
        return value.mantissa * (Wide(1) << value.exponent);
    if (value.exponent <= -120)
        return 0;
    return value.mantissa / (Wide(1) << -value.exponent);
}

double asDouble(const Exact &value)
{
    const Exact rounded = toDouble(value);
    return std::ldexp(static_cast<double>(static_cast<int64_t>(rounded.mantissa)), rounded.exponent);
}

// 1 - percent * 0.01, each operation rounded to double.
Exact modelPercentFactor(double percent)
{
    const Exact fraction = toDouble(times(exactDouble(percent), exactDouble(0.01)));
    return toDouble(minus(exactDouble(1.0), fraction));
}

// The float nearest 0.7 is 0x3F333333: 0xB33333 * 2^-24.
const Exact mileageFactor = {0xB33333, -24};

int64_t modelMileage(int32_t cashPrice, bool isUseMileage)
{
    if (!isUseMileage)
        return cashPrice;
    const Exact price = toFloat(exactInteger(cashPrice));
    return static_cast<int64_t>(truncated(toFloat(times(price, mileageFactor))));
}

int64_t modelWonCost(const AuctionItem &item)
{
    const Exact price = toDouble(exactInteger(modelMileage(item.cashPrice, item.isUseMileage)));
    return static_cast<int64_t>(truncated(toDouble(times(modelPercentFactor(item.rateOfDiscount), price))));
}

int64_t modelNetMesoPerWon(int32_t rate, int32_t fee)
{
    const int64_t perWon = 100000000 / rate;
    return static_cast<int64_t>(
        truncated(toDouble(times(toDouble(exactInteger(perWon)), modelPercentFactor(fee)))));
}

struct ModelFigures
{
    int64_t wonCost;
    int64_t netMesoPerWon;
    Wide profitMeso;
    Wide profitWon;
};

ModelFigures modelFigures(const AuctionItem &item)
{
    ModelFigures figures;
    figures.wonCost = modelWonCost(item);
    figures.netMesoPerWon = modelNetMesoPerWon(item.rate, item.fee);
    const Wide proceeds
        = truncated(toDouble(times(toDouble(exactInteger(item.mesoPrice)), modelPercentFactor(item.fee))));
    const Wide cost = truncated(toDouble({Wide(figures.wonCost) * figures.netMesoPerWon, 0}));
    figures.profitMeso = proceeds - cost;
    figures.profitWon = figures.netMesoPerWon == 0 ? 0 : figures.profitMeso / figures.netMesoPerWon;
    return figures;
}

double modelMesoPerWon(int32_t rate, int32_t fee)
{
    return asDouble(times(modelPercentFactor(fee), toDouble(exactInteger(100000000 / rate))));
}

// Groups of three counted from the right, by inserting into a finished
// digit string.
QByteArray modelFormat(int64_t value)
{
    const uint64_t magnitude = value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    std::string text = std::to_string(magnitude);
    for (int position = static_cast<int>(text.size()) - 3; position > 0; position -= 3)
        text.insert(static_cast<size_t>(position), ",");
    if (value < 0)
        text.insert(0, "-");
    return QByteArray::fromStdString(text);
}

AuctionItem makeItem(int32_t cashPrice, bool isUseMileage, double rateOfDiscount, int64_t mesoPrice, int32_t rate,
                     int32_t fee)
{
    AuctionItem item;
    item.name = QByteArrayLiteral("item");
    item.cashPrice = cashPrice;
    item.isUseMileage = isUseMileage;
    item.rateOfDiscount = rateOfDiscount;
    item.mesoPrice = mesoPrice;
    item.rate = rate;
    item.fee = fee;
    return item;
}

QString describe(const AuctionItem &item)
{
    return QStringLiteral("cashPrice %1 mileage %2 discount %3 mesoPrice %4 rate %5 fee %6")
        .arg(item.cashPrice)
        .arg(item.isUseMileage)
        .arg(item.rateOfDiscount, 0, 'g', 17)
        .arg(item.mesoPrice)
        .arg(item.rate)
        .arg(item.fee);
}

QString wideText(Wide value)
{
    const bool negative = value < 0;
    UnsignedWide magnitude = negative ? UnsignedWide(-value) : UnsignedWide(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude != 0);
    return QString::fromStdString((negative ? "-" : "") + digits);
}

} // namespace

class ProfitTest : public QObject
{
    Q_OBJECT

private slots:
    void figures_data();
    void figures();
    void mileageBoundary();
    void undefinedFigures_data();
    void undefinedFigures();
    void mesoPerWon_data();
    void mesoPerWon();
    void formatThousands_data();
    void formatThousands();
    void rateSummaryText_data();
    void rateSummaryText();
    void randomAgainstModel();
    void parseLeadingInteger_data();
    void parseLeadingInteger();
    void parseAgainstStrtoll();
    void stripCommas_data();
    void stripCommas();
};

void ProfitTest::figures_data()
{
    QTest::addColumn<int>("cashPrice");
    QTest::addColumn<bool>("isUseMileage");
    QTest::addColumn<double>("rateOfDiscount");
    QTest::addColumn<qint64>("mesoPrice");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("fee");
    QTest::addColumn<int>("wonCost");
    QTest::addColumn<int>("netMesoPerWon");
    QTest::addColumn<qint64>("profitMeso");
    QTest::addColumn<qint64>("profitWon");

    // The four deals every user of the program knows by heart.
    QTest::newRow("mileage, sold well") << 10000 << true << 0.0 << qint64(300000000) << 3000 << 5 << 7000 << 31666
                                        << qint64(63338000) << qint64(2000);
    QTest::newRow("mileage, sold at a loss") << 10000 << true << 0.0 << qint64(40000000) << 3000 << 5 << 7000
                                             << 31666 << qint64(-183662000) << qint64(-5799);
    QTest::newRow("mileage and 2% discount") << 9900 << true << 2.0 << qint64(250000000) << 3000 << 5 << 6791
                                             << 31666 << qint64(22456194) << qint64(709);
    QTest::newRow("fee 3, ratio 2700, 4.5% discount") << 33000 << false << 4.5 << qint64(1500000000) << 2700 << 3
                                                      << 31515 << 35925 << qint64(322823625) << qint64(8986);

    // The guide's large sale: meso per won cut after the fee moves the won.
    QTest::newRow("guide, fee 5") << 10000 << true << 0.0 << qint64(10000000000) << 2750 << 5 << 7000 << 34544
                                  << qint64(9258192000) << qint64(268011);
    QTest::newRow("guide, fee 3") << 10000 << true << 0.0 << qint64(10000000000) << 2750 << 3 << 7000 << 35272
                                  << qint64(9453096000) << qint64(268005);
    QTest::newRow("discount 10 truncates") << 10001 << false << 10.0 << qint64(0) << 3000 << 5 << 9000 << 31666
                                           << qint64(-284994000) << qint64(-9000);
    QTest::newRow("mileage 12345") << 12345 << true << 0.0 << qint64(0) << 3000 << 5 << 8641 << 31666
                                   << qint64(-273625906) << qint64(-8641);
    QTest::newRow("mileage 3") << 3 << true << 0.0 << qint64(0) << 3000 << 5 << 2 << 31666 << qint64(-63332)
                               << qint64(-2);
    QTest::newRow("mileage 7") << 7 << true << 0.0 << qint64(0) << 3000 << 5 << 4 << 31666 << qint64(-126664)
                               << qint64(-4);
    QTest::newRow("mileage 13") << 13 << true << 0.0 << qint64(0) << 3000 << 5 << 9 << 31666 << qint64(-284994)
                                << qint64(-9);
    QTest::newRow("discount 100 pays nothing") << 10000 << true << 100.0 << qint64(300000000) << 3000 << 5 << 0
                                               << 31666 << qint64(285000000) << qint64(9000);
    QTest::newRow("ratio 1") << 1000 << false << 0.0 << qint64(0) << 1 << 5 << 1000 << 95000000
                             << qint64(-95000000000) << qint64(-1000);
    QTest::newRow("ratio 1, fee 3") << 1000 << false << 0.0 << qint64(0) << 1 << 3 << 1000 << 97000000
                                    << qint64(-97000000000) << qint64(-1000);
    QTest::newRow("ratio 50,000,000") << 1000 << false << 0.0 << qint64(0) << 50000000 << 5 << 1000 << 1
                                      << qint64(-1000) << qint64(-1000);
    QTest::newRow("ratio 50,000,000, fee 3") << 1000 << false << 0.0 << qint64(0) << 50000000 << 3 << 1000 << 1
                                             << qint64(-1000) << qint64(-1000);
    QTest::newRow("negative prices") << -10000 << false << 0.0 << qint64(-1000) << 3000 << 5 << -10000 << 31666
                                     << qint64(316659050) << qint64(9999);
    QTest::newRow("negative prices, mileage") << -10000 << true << 0.0 << qint64(-1000) << 3000 << 5 << -7000
                                              << 31666 << qint64(221661050) << qint64(6999);
    QTest::newRow("profit below one won") << 1 << false << 0.0 << qint64(33859) << 3000 << 5 << 1 << 31666
                                          << qint64(500) << qint64(0);
    QTest::newRow("profit exactly 0") << 1 << false << 0.0 << qint64(33333) << 3000 << 5 << 1 << 31666 << qint64(0)
                                      << qint64(0);
    QTest::newRow("loss below one won") << 1 << false << 0.0 << qint64(33312) << 3000 << 5 << 1 << 31666
                                        << qint64(-20) << qint64(0);
    QTest::newRow("fractional discount, fee 3") << 10000 << true << 0.29 << qint64(123456789) << 3000 << 3 << 6979
                                                << 32333 << qint64(-105898922) << qint64(-3275);
    QTest::newRow("largest prices") << std::numeric_limits<int32_t>::max() << true << 0.0
                                    << std::numeric_limits<qint64>::max() << 1 << 3 << 1503238528 << 97000000
                                    << Q_INT64_C(8800856738533132288) << Q_INT64_C(90730481840);
    QTest::newRow("smallest prices") << std::numeric_limits<int32_t>::min() << true << 0.0
                                     << std::numeric_limits<qint64>::min() << 1 << 5 << -1503238528 << 95000000
                                     << Q_INT64_C(-8619395774852036608) << Q_INT64_C(-90730481840);
}

void ProfitTest::figures()
{
    QFETCH(int, cashPrice);
    QFETCH(bool, isUseMileage);
    QFETCH(double, rateOfDiscount);
    QFETCH(qint64, mesoPrice);
    QFETCH(int, rate);
    QFETCH(int, fee);
    QFETCH(int, wonCost);
    QFETCH(int, netMesoPerWon);
    QFETCH(qint64, profitMeso);
    QFETCH(qint64, profitWon);

    const AuctionItem item = makeItem(cashPrice, isUseMileage, rateOfDiscount, mesoPrice, rate, fee);
    QCOMPARE(item.wonCost(), wonCost);
    QCOMPARE(item.netMesoPerWon(), std::optional<int32_t>(netMesoPerWon));
    QCOMPARE(item.profitMeso(), std::optional<int64_t>(profitMeso));
    QCOMPARE(item.profitWon(), std::optional<int64_t>(profitWon));

    // The independent model must agree with the same literal figures, or
    // the random comparison below would prove nothing.
    const ModelFigures model = modelFigures(item);
    QCOMPARE(model.wonCost, int64_t(wonCost));
    QCOMPARE(model.netMesoPerWon, int64_t(netMesoPerWon));
    QCOMPARE(wideText(model.profitMeso), QString::number(profitMeso));
    QCOMPARE(wideText(model.profitWon), QString::number(profitWon));
}

void ProfitTest::mileageBoundary()
{
    // Up to 5,991,866 the single-precision step is the exact 70 % rounded down.
    for (int32_t price = 0; price <= 5991866; ++price) {
        const int32_t expected = static_cast<int32_t>(int64_t(price) * 7 / 10);
        if (ProfitMath::mileageAdjusted(price, true) != expected)
            QFAIL(qPrintable(QStringLiteral("mileage of %1 gives %2, expected %3")
                                 .arg(price)
                                 .arg(ProfitMath::mileageAdjusted(price, true))
                                 .arg(expected)));
    }
    // From here on single precision decides, and it does not always round down.
    QCOMPARE(ProfitMath::mileageAdjusted(5991867, true), 4194307);
    QCOMPARE(int64_t(5991867) * 7 / 10, int64_t(4194306));
    QCOMPARE(makeItem(5991867, true, 0.0, 0, 3000, 5).wonCost(), 4194307);
    QCOMPARE(makeItem(5991866, true, 0.0, 0, 3000, 5).wonCost(), 4194306);
    QCOMPARE(ProfitMath::mileageAdjusted(5991867, false), 5991867);

    // Beyond the boundary the program and the exact model agree everywhere
    // near it, including where the model differs from the integer formula.
    int differences = 0;
    for (int32_t price = 5991867; price < 5991867 + 200000; ++price) {
        const int64_t model = modelMileage(price, true);
        QCOMPARE(int64_t(ProfitMath::mileageAdjusted(price, true)), model);
        if (model != int64_t(price) * 7 / 10)
            ++differences;
    }
    QVERIFY(differences > 0);
}

void ProfitTest::undefinedFigures_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("fee");
    QTest::addColumn<bool>("hasProfitMeso");

    QTest::newRow("no ratio") << 0 << 5 << false;
    QTest::newRow("negative ratio") << -3000 << 5 << false;
    QTest::newRow("smallest ratio") << std::numeric_limits<int32_t>::min() << 3 << false;
    // A won buys less than one meso after the fee: the meso profit is still
    // the proceeds, the won profit has no value.
    QTest::newRow("50,000,001, fee 5") << 50000001 << 5 << true;
    QTest::newRow("50,000,001, fee 3") << 50000001 << 3 << true;
    QTest::newRow("100,000,001") << 100000001 << 5 << true;
    QTest::newRow("largest ratio") << std::numeric_limits<int32_t>::max() << 3 << true;
}

void ProfitTest::undefinedFigures()
{
    QFETCH(int, rate);
    QFETCH(int, fee);
    QFETCH(bool, hasProfitMeso);

    const AuctionItem item = makeItem(10000, true, 0.0, 300000000, rate, fee);
    QCOMPARE(item.wonCost(), 7000);
    QVERIFY(!item.profitWon());
    if (hasProfitMeso) {
        QCOMPARE(item.netMesoPerWon(), std::optional<int32_t>(0));
        QCOMPARE(item.profitMeso(), std::optional<int64_t>(fee == 5 ? 285000000 : 291000000));
        QCOMPARE(ProfitMath::truncToInt32(ProfitMath::mesoPerWon(rate, fee)), 0);
    } else {
        QVERIFY(!item.netMesoPerWon());
        QVERIFY(!item.profitMeso());
        QCOMPARE(ProfitMath::mesoPerWon(rate, fee), 0.0);
    }
}

void ProfitTest::mesoPerWon_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("fee");
    QTest::addColumn<double>("expected");

    QTest::newRow("3000, fee 5") << 3000 << 5 << 31666.35;
    QTest::newRow("3000, fee 3") << 3000 << 3 << 32333.01;
    QTest::newRow("1, fee 5") << 1 << 5 << 95000000.0;
    QTest::newRow("50,000,000, fee 5") << 50000000 << 5 << 1.9;
    QTest::newRow("integer division first") << 2700 << 3 << 37037 * 0.97;
}

void ProfitTest::mesoPerWon()
{
    QFETCH(int, rate);
    QFETCH(int, fee);
    QFETCH(double, expected);

    const double perWon = ProfitMath::mesoPerWon(rate, fee);
    QVERIFY2(std::fabs(perWon - expected) < 1e-6, qPrintable(QString::number(perWon, 'g', 17)));
    // Bit for bit the documented double steps.
    QCOMPARE(perWon, modelMesoPerWon(rate, fee));
    // Truncated, it is every item's net meso per won at the same settings.
    QCOMPARE(std::optional<int32_t>(ProfitMath::truncToInt32(perWon)),
             makeItem(1, false, 0.0, 0, rate, fee).netMesoPerWon());
}

void ProfitTest::formatThousands_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("0") << qint64(0) << QByteArray("0");
    QTest::newRow("999") << qint64(999) << QByteArray("999");
    QTest::newRow("1000") << qint64(1000) << QByteArray("1,000");
    QTest::newRow("-999") << qint64(-999) << QByteArray("-999");
    QTest::newRow("-1000") << qint64(-1000) << QByteArray("-1,000");
    QTest::newRow("-5799 from 32 bits") << qint64(int32_t(-5799)) << QByteArray("-5,799");
    QTest::newRow("1234567") << qint64(1234567) << QByteArray("1,234,567");
    QTest::newRow("-183662000") << qint64(-183662000) << QByteArray("-183,662,000");
    QTest::newRow("100000") << qint64(100000) << QByteArray("100,000");
    QTest::newRow("int32 max") << qint64(std::numeric_limits<int32_t>::max()) << QByteArray("2,147,483,647");
    QTest::newRow("int32 min") << qint64(std::numeric_limits<int32_t>::min()) << QByteArray("-2,147,483,648");
    QTest::newRow("int64 max") << std::numeric_limits<qint64>::max() << QByteArray("9,223,372,036,854,775,807");
    QTest::newRow("int64 min") << std::numeric_limits<qint64>::min() << QByteArray("-9,223,372,036,854,775,808");
}

void ProfitTest::formatThousands()
{
    QFETCH(qint64, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(ProfitMath::formatThousands(value), expected);
    QCOMPARE(modelFormat(value), expected);
}

void ProfitTest::rateSummaryText_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("fee");
    QTest::addColumn<QString>("expected");

    QTest::newRow("3000, fee 5") << 3000 << 5 << QString::fromUtf8("비율 : 3,000원 -----▶ 1원당 31,666 메소");
    QTest::newRow("3000, fee 3") << 3000 << 3 << QString::fromUtf8("비율 : 3,000원 -----▶ 1원당 32,333 메소");
    QTest::newRow("1") << 1 << 5 << QString::fromUtf8("비율 : 1원 -----▶ 1원당 95,000,000 메소");
    QTest::newRow("50,000,000") << 50000000 << 5 << QString::fromUtf8("비율 : 50,000,000원 -----▶ 1원당 1 메소");
}

void ProfitTest::rateSummaryText()
{
    QFETCH(int, rate);
    QFETCH(int, fee);
    QFETCH(QString, expected);
    QCOMPARE(ProfitMath::rateSummaryText(rate, ProfitMath::mesoPerWon(rate, fee)), expected);
}

void ProfitTest::randomAgainstModel()
{
    std::mt19937_64 random(0x5eed2026u);
    auto uniform = [&random](int64_t low, int64_t high) {
        return std::uniform_int_distribution<int64_t>(low, high)(random);
    };
    // Magnitudes spread evenly over the powers of two, so that small prices
    // are as well covered as the extremes.
    auto logUniform = [&](int bits) {
        const int width = static_cast<int>(uniform(0, bits));
        const uint64_t magnitude = width == 0 ? 0 : (uint64_t(1) << (width - 1)) | (random() & ((uint64_t(1) << (width - 1)) - 1));
        return uniform(0, 1) ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    };

    const int cases = 200000;
    int failures = 0;
    QString firstFailures;
    for (int n = 0; n < cases; ++n) {
        int32_t cashPrice = 0;
        switch (uniform(0, 2)) {
        case 0:
            cashPrice = static_cast<int32_t>(uniform(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
            break;
        case 1:
            cashPrice = static_cast<int32_t>(uniform(-1000, 10000000));
            break;
        default:
            cashPrice = static_cast<int32_t>(logUniform(31));
        }
        int64_t mesoPrice = 0;
        switch (uniform(0, 2)) {
        case 0:
            mesoPrice = uniform(std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
            break;
        case 1:
            mesoPrice = uniform(-1000, 100000000000LL);
            break;
        default:
            mesoPrice = logUniform(63);
        }
        int32_t rate = 0;
        switch (uniform(0, 2)) {
        case 0:
            rate = static_cast<int32_t>(uniform(1, ProfitMath::largestUsableRate));
            break;
        case 1:
            rate = static_cast<int32_t>(uniform(1, 10000));
            break;
        default:
            rate = static_cast<int32_t>(std::max<int64_t>(1, std::llabs(logUniform(26)) % (ProfitMath::largestUsableRate + 1)));
        }
        const int32_t fee = uniform(0, 1) ? 5 : 3;
        // The spin box holds two decimals: the double nearest k / 100.
        double rateOfDiscount = 0.0;
        switch (uniform(0, 3)) {
        case 0:
            rateOfDiscount = static_cast<double>(uniform(0, 100));
            break;
        case 1:
            rateOfDiscount = uniform(0, 1) ? 0.0 : 100.0;
            break;
        default:
            rateOfDiscount = static_cast<double>(uniform(0, 10000)) / 100.0;
        }
        const bool isUseMileage = uniform(0, 1) != 0;

        const AuctionItem item = makeItem(cashPrice, isUseMileage, rateOfDiscount, mesoPrice, rate, fee);
        const ModelFigures model = modelFigures(item);
        const std::optional<int32_t> perWon = item.netMesoPerWon();
        const std::optional<int64_t> profitMeso = item.profitMeso();
        const std::optional<int64_t> profitWon = item.profitWon();
        const bool agrees = int64_t(item.wonCost()) == model.wonCost && perWon
            && int64_t(*perWon) == model.netMesoPerWon && profitMeso && Wide(*profitMeso) == model.profitMeso
            && profitWon && Wide(*profitWon) == model.profitWon
            && ProfitMath::mesoPerWon(rate, fee) == modelMesoPerWon(rate, fee)
            && ProfitMath::formatThousands(mesoPrice) == modelFormat(mesoPrice)
            && ProfitMath::formatThousands(profitMeso.value_or(0)) == modelFormat(profitMeso.value_or(0));
        if (!agrees) {
            if (++failures <= 5)
                firstFailures += QStringLiteral("\n%1: program %2/%3/%4/%5, model %6/%7/%8/%9")
                                     .arg(describe(item))
                                     .arg(item.wonCost())
                                     .arg(perWon ? QString::number(*perWon) : QStringLiteral("none"))
                                     .arg(profitMeso ? QString::number(*profitMeso) : QStringLiteral("none"))
                                     .arg(profitWon ? QString::number(*profitWon) : QStringLiteral("none"))
                                     .arg(model.wonCost)
                                     .arg(model.netMesoPerWon)
                                     .arg(wideText(model.profitMeso))
                                     .arg(wideText(model.profitWon));
        }
    }
    QVERIFY2(failures == 0, qPrintable(QStringLiteral("%1 of %2 cases differ:%3").arg(failures).arg(cases).arg(firstFailures)));
}

void ProfitTest::parseLeadingInteger_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<bool>("startsWithInteger");

    const qint64 largest = std::numeric_limits<qint64>::max();
    const qint64 smallest = std::numeric_limits<qint64>::min();
    QTest::newRow("digits") << QByteArray("12000") << true << qint64(12000) << true;
    QTest::newRow("leading blank, trailing letters") << QByteArray(" 12abc") << true << qint64(12) << true;
    QTest::newRow("tab and newline") << QByteArray("\t\n 7") << true << qint64(7) << true;
    QTest::newRow("plus") << QByteArray("+5") << true << qint64(5) << true;
    QTest::newRow("minus") << QByteArray("-5") << true << qint64(-5) << true;
    QTest::newRow("leading zeros") << QByteArray("  -0012x") << true << qint64(-12) << true;
    QTest::newRow("stops at blank") << QByteArray("1 2") << true << qint64(1) << true;
    QTest::newRow("stops at dot") << QByteArray("3.9") << true << qint64(3) << true;
    QTest::newRow("sign alone") << QByteArray("-") << false << qint64(0) << false;
    QTest::newRow("two signs") << QByteArray("+-5") << false << qint64(0) << false;
    QTest::newRow("blank before digit after sign") << QByteArray("- 5") << false << qint64(0) << false;
    QTest::newRow("empty") << QByteArray("") << false << qint64(0) << false;
    QTest::newRow("blank only") << QByteArray("   ") << false << qint64(0) << false;
    QTest::newRow("letters") << QByteArray("abc") << false << qint64(0) << false;
    QTest::newRow("comma first") << QByteArray(",5") << false << qint64(0) << false;
    QTest::newRow("int64 max") << QByteArray("9223372036854775807") << true << largest << true;
    QTest::newRow("one past int64 max") << QByteArray("9223372036854775808") << false << qint64(0) << true;
    QTest::newRow("far past int64 max") << QByteArray("99999999999999999999999") << false << qint64(0) << true;
    QTest::newRow("int64 min") << QByteArray("-9223372036854775808") << true << smallest << true;
    QTest::newRow("one below int64 min") << QByteArray("-9223372036854775809") << false << qint64(0) << true;
    QTest::newRow("zeros before int64 max") << QByteArray("0009223372036854775807z") << true << largest << true;
}

void ProfitTest::parseLeadingInteger()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, parses);
    QFETCH(qint64, value);
    QFETCH(bool, startsWithInteger);

    const std::optional<int64_t> parsed = ProfitMath::parseLeadingInteger(text);
    QCOMPARE(bool(parsed), parses);
    if (parses)
        QCOMPARE(*parsed, value);
    QCOMPARE(ProfitMath::startsWithInteger(text), startsWithInteger);
}

void ProfitTest::parseAgainstStrtoll()
{
    // The C library's strtoll is the rule the parse follows; compare on
    // random texts built from the characters that matter.
    std::mt19937 random(20261207u);
    const char alphabet[] = " \t+-0123456789999a,.";
    const int alphabetSize = static_cast<int>(sizeof(alphabet) - 1);
    int compared = 0;
    for (int n = 0; n < 100000; ++n) {
        const int length = static_cast<int>(random() % 24);
        std::string text;
        for (int i = 0; i < length; ++i)
            text.push_back(alphabet[random() % alphabetSize]);

        errno = 0;
        char *end = nullptr;
        const long long expected = std::strtoll(text.c_str(), &end, 10);
        const bool readDigits = end != text.c_str();
        const bool fits = errno != ERANGE;

        const QByteArray bytes = QByteArray::fromStdString(text);
        const std::optional<int64_t> parsed = ProfitMath::parseLeadingInteger(bytes);
        QVERIFY2(bool(parsed) == (readDigits && fits), text.c_str());
        if (parsed) {
            QVERIFY2(*parsed == expected, text.c_str());
            ++compared;
        }
        QVERIFY2(ProfitMath::startsWithInteger(bytes) == readDigits, text.c_str());
    }
    // Enough of the texts must actually hold a number.
    QVERIFY(compared > 10000);
}

void ProfitTest::stripCommas_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("thousands") << QByteArray("12,000") << QByteArray("12000");
    QTest::newRow("millions") << QByteArray("-1,234,567") << QByteArray("-1234567");
    QTest::newRow("commas only") << QByteArray(",,,") << QByteArray("");
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
    QTest::newRow("no commas") << QByteArray(" 12abc") << QByteArray(" 12abc");
    QTest::newRow("odd places") << QByteArray("1,2,,3 ,x") << QByteArray("123 x");
}

void ProfitTest::stripCommas()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(ProfitMath::stripCommas(text), expected);
}

QTEST_GUILESS_MAIN(ProfitTest)
#include "tst_profit.moc"
