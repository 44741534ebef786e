// The ledger's running totals and the status bar row that shows them.
//
// The random test checks every total against sums kept as decimal digit
// strings, so neither the 128-bit arithmetic nor its formatting checks
// itself.

#include "AuctionItem.h"
#include "LedgerStore.h"
#include "LedgerTotals.h"
#include "MainWindow.h"
#include "ProfitMath.h"
#include "TestSupport.h"
#include "TotalsBar.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

using ProfitMath::formatThousands128;
using ProfitMath::Int128;

namespace {

constexpr int64_t int64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t int64Min = std::numeric_limits<int64_t>::min();

// A signed integer of any size as decimal digits, added digit by digit as
// on paper.
class Decimal
{
public:
    void add(int64_t value)
    {
        std::string digits = std::to_string(value);
        const bool negative = digits[0] == '-';
        if (negative)
            digits.erase(0, 1);
        if (negative == m_negative) {
            m_digits = addMagnitudes(m_digits, digits);
        } else if (lessMagnitude(m_digits, digits)) {
            m_digits = subtractMagnitudes(digits, m_digits);
            m_negative = negative;
        } else {
            m_digits = subtractMagnitudes(m_digits, digits);
        }
        if (m_digits == "0")
            m_negative = false;
    }

    // "-1,234,567", grouped by threes.
    std::string grouped() const
    {
        std::string text;
        for (size_t i = 0; i < m_digits.size(); ++i) {
            if (i > 0 && (m_digits.size() - i) % 3 == 0)
                text += ',';
            text += m_digits[i];
        }
        return (m_negative ? "-" : "") + text;
    }

    // True when the value lies outside the 64-bit range.
    bool exceeds64Bits() const
    {
        const std::string limit = m_negative ? "9223372036854775808" : "9223372036854775807";
        return lessMagnitude(limit, m_digits);
    }

private:
    static bool lessMagnitude(const std::string &a, const std::string &b)
    {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    }

    static std::string addMagnitudes(const std::string &a, const std::string &b)
    {
        std::string sum;
        int carry = 0;
        for (size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
            int digit = carry;
            if (i < a.size())
                digit += a[a.size() - 1 - i] - '0';
            if (i < b.size())
                digit += b[b.size() - 1 - i] - '0';
            sum.insert(sum.begin(), static_cast<char>('0' + digit % 10));
            carry = digit / 10;
        }
        return sum;
    }

    // a - b with a >= b.
    static std::string subtractMagnitudes(const std::string &a, const std::string &b)
    {
        std::string difference;
        int borrow = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            int digit = a[a.size() - 1 - i] - '0' - borrow;
            if (i < b.size())
                digit -= b[b.size() - 1 - i] - '0';
            borrow = digit < 0;
            difference.insert(difference.begin(), static_cast<char>('0' + (digit + 10) % 10));
        }
        const size_t first = difference.find_first_not_of('0');
        return first == std::string::npos ? "0" : difference.substr(first);
    }

    std::string m_digits = "0";
    bool m_negative = false;
};

// What the totals of a set of items must be, summed as decimals.
struct Expected
{
    int64_t count = 0;
    Decimal wonPaid;
    Decimal profitMeso;
    Decimal profitWon;
    int64_t undefinedMeso = 0;
    int64_t undefinedWon = 0;

    explicit Expected(const ItemMap &items)
    {
        for (const auto &entry : items) {
            const AuctionItem &item = entry.second;
            ++count;
            wonPaid.add(item.wonCost());
            if (const auto profit = item.profitMeso())
                profitMeso.add(*profit);
            else
                ++undefinedMeso;
            if (const auto profit = item.profitWon())
                profitWon.add(*profit);
            else
                ++undefinedWon;
        }
    }

    std::string describe() const
    {
        return "count " + std::to_string(count) + ", paid " + wonPaid.grouped() + ", meso " + profitMeso.grouped()
            + ", won " + profitWon.grouped() + ", undefined " + std::to_string(undefinedMeso) + "/"
            + std::to_string(undefinedWon);
    }
};

std::string describe(const LedgerTotals &totals)
{
    return "count " + std::to_string(totals.itemCount()) + ", paid " + formatThousands128(totals.wonPaid()).toStdString()
        + ", meso " + formatThousands128(totals.profitMeso()).toStdString() + ", won "
        + formatThousands128(totals.profitWon()).toStdString() + ", undefined "
        + std::to_string(totals.undefinedMesoCount()) + "/" + std::to_string(totals.undefinedWonCount());
}

// The kinds of item a ledger can hold, the extremes included.
enum class Kind { Ordinary, LargestMeso, LargeLoss, NoRatio, WonUndefined, Any };

AuctionItem randomItem(std::mt19937_64 &random, Kind kind)
{
    auto uniform = [&random](int64_t low, int64_t high) {
        return std::uniform_int_distribution<int64_t>(low, high)(random);
    };
    if (kind == Kind::Any)
        kind = static_cast<Kind>(uniform(0, 4));

    AuctionItem item;
    item.name = "item";
    item.cashPrice = static_cast<int32_t>(uniform(100, 39900));
    item.isUseMileage = uniform(0, 1) == 1;
    item.rate = static_cast<int32_t>(uniform(1, 50000000));
    item.fee = static_cast<int32_t>(uniform(0, 10));
    // Now and then a discount above 100 %: the won paid turns negative.
    item.rateOfDiscount = uniform(0, 9) == 0 ? static_cast<double>(uniform(0, 250)) : static_cast<double>(uniform(0, 10));
    item.mesoPrice = uniform(1, 10000000000LL);
    switch (kind) {
    case Kind::LargestMeso:
        // A negative won paid would push the profit past 64 bits.
        item.mesoPrice = int64Max - uniform(0, 1000);
        item.fee = static_cast<int32_t>(uniform(0, 1));
        item.rateOfDiscount = static_cast<double>(uniform(0, 10));
        break;
    case Kind::LargeLoss:
        // A won buys 100,000,000 meso at a ratio of 1: the cost in meso of
        // the largest price is near 2^57.
        item.cashPrice = static_cast<int32_t>(uniform(std::numeric_limits<int32_t>::max() - 1000,
                                                      std::numeric_limits<int32_t>::max()));
        item.rateOfDiscount = 0.0;
        item.rate = 1;
        item.mesoPrice = uniform(1, 1000);
        break;
    case Kind::NoRatio:
        item.rate = static_cast<int32_t>(uniform(-5, 0));
        break;
    case Kind::WonUndefined:
        item.rate = static_cast<int32_t>(uniform(50000001, 100000000));
        item.fee = static_cast<int32_t>(uniform(1, 10));
        break;
    default:
        break;
    }
    return item;
}

} // namespace

class TotalsTest : public QObject
{
    Q_OBJECT

private slots:
    void randomLedgers();
    void formatter();
    void formatterRoundTrip();
    void text_data();
    void text();
    void bar();
    void lineKeepsItsPlaceAfterLongTotals();
};

void TotalsTest::randomLedgers()
{
    const uint64_t baseSeed = qEnvironmentVariableIsSet("PELARIN_TEST_SEED")
        ? qgetenv("PELARIN_TEST_SEED").toULongLong()
        : 20261207u;
    bool positiveBeyond64 = false;
    bool negativeBeyond64 = false;

    for (uint64_t round = 0; round < 60; ++round) {
        const uint64_t seed = baseSeed + round;
        std::mt19937_64 random(seed);
        const QByteArray where = "seed " + QByteArray::number(static_cast<qulonglong>(seed));

        // The first rounds hold only extremes; the rest mix every kind.
        const Kind kind = round == 0 ? Kind::LargestMeso : round == 1 ? Kind::LargeLoss : Kind::Any;
        const int count = std::uniform_int_distribution<int>(0, 3000)(random) + (round < 2 ? 1000 : 0);
        ItemMap items;
        LedgerTotals totals;
        for (int32_t id = 0; id < count; ++id) {
            const AuctionItem item = randomItem(random, kind);
            items.emplace(id, item);
            totals.add(item);
        }
        const Expected all(items);
        QCOMPARE(QByteArray(where + ": added, " + describe(totals).c_str()),
                 QByteArray(where + ": added, " + all.describe().c_str()));
        positiveBeyond64 = positiveBeyond64 || (round == 0 && all.profitMeso.exceeds64Bits());
        negativeBeyond64 = negativeBeyond64 || (round == 1 && all.profitMeso.exceeds64Bits());

        // Take out a random share of the items, in random order.
        std::vector<int32_t> ids;
        for (const auto &entry : items)
            ids.push_back(entry.first);
        std::shuffle(ids.begin(), ids.end(), random);
        ids.resize(std::uniform_int_distribution<size_t>(0, ids.size())(random));
        for (int32_t id : ids) {
            totals.remove(items.at(id));
            items.erase(id);
        }
        const Expected rest(items);
        QCOMPARE(QByteArray(where + ": removed, " + describe(totals).c_str()),
                 QByteArray(where + ": removed, " + rest.describe().c_str()));

        LedgerTotals recounted;
        recounted.add(randomItem(random, Kind::Any));
        recounted.recount(items);
        QCOMPARE(QByteArray(where + ": recounted, " + describe(recounted).c_str()),
                 QByteArray(where + ": recounted, " + rest.describe().c_str()));

        totals.clear();
        QCOMPARE(QByteArray(where + ": cleared, " + describe(totals).c_str()),
                 QByteArray(where + ": cleared, " + Expected(ItemMap()).describe().c_str()));
    }
    // Without these the rounds above would not have proved that sums beyond
    // 64 bits come out right.
    QVERIFY(positiveBeyond64);
    QVERIFY(negativeBeyond64);
}

void TotalsTest::formatter()
{
    const Int128 largest = static_cast<Int128>((static_cast<unsigned __int128>(1) << 127) - 1);
    const Int128 smallest = -largest - 1;
    const struct {
        Int128 value;
        const char *text;
    } cases[] = {
        {0, "0"},
        {1, "1"},
        {-1, "-1"},
        {-999, "-999"},
        {1000, "1,000"},
        {-100000, "-100,000"},
        {int64Max, "9,223,372,036,854,775,807"},
        {Int128(int64Max) + 1, "9,223,372,036,854,775,808"},
        {int64Min, "-9,223,372,036,854,775,808"},
        {Int128(int64Min) - 1, "-9,223,372,036,854,775,809"},
        {Int128(1) << 64, "18,446,744,073,709,551,616"},
        {largest, "170,141,183,460,469,231,731,687,303,715,884,105,727"},
        {smallest, "-170,141,183,460,469,231,731,687,303,715,884,105,728"},
        {smallest + 1, "-170,141,183,460,469,231,731,687,303,715,884,105,727"},
    };
    for (const auto &row : cases)
        QCOMPARE(formatThousands128(row.value), QByteArray(row.text));
}

// Random values of every width: the text reads back as the value and is
// grouped by threes; inside 64 bits it matches the table's formatter.
void TotalsTest::formatterRoundTrip()
{
    std::mt19937_64 random(0x70da15u);
    for (int k = 0; k < 20000; ++k) {
        const int width = static_cast<int>(random() % 128);
        unsigned __int128 bits = (static_cast<unsigned __int128>(random()) << 64) | random();
        bits = width == 0 ? 0 : bits >> (128 - width);
        const Int128 value = random() % 2 ? -static_cast<Int128>(bits) : static_cast<Int128>(bits);

        const QByteArray text = formatThousands128(value);
        const QByteArray where = text + " of width " + QByteArray::number(width);
        const bool negative = text.startsWith('-');
        const QByteArray digits = text.mid(negative ? 1 : 0);
        QVERIFY2(negative == (value < 0), where.constData());
        // Groups of three after a first group of one to three digits.
        const QList<QByteArray> groups = digits.split(',');
        QVERIFY2(!groups.first().isEmpty() && groups.first().size() <= 3, where.constData());
        QVERIFY2(groups.first() == "0" || !groups.first().startsWith('0'), where.constData());
        for (int g = 1; g < groups.size(); ++g)
            QVERIFY2(groups[g].size() == 3, where.constData());

        unsigned __int128 magnitude = 0;
        for (const char c : digits) {
            if (c == ',')
                continue;
            QVERIFY2(c >= '0' && c <= '9', where.constData());
            magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
        }
        QVERIFY2(magnitude == bits, where.constData());
        if (value >= int64Min && value <= int64Max)
            QCOMPARE(text, ProfitMath::formatThousands(static_cast<int64_t>(value)));
    }
}

namespace {

// Items whose figures are easy to follow by hand (fee 0, no discount):
//   0: 10,000 won at 50,000 meso a won, sold for 1,000,000,000: +500,000,000 / +10,000
//   1: the same with mileage (7,000 won), sold for 100,000,000: -250,000,000 / -5,000
//   2: 5,900 won and no ratio: both profits undefined
//   3: 1,000 won at a ratio where a won buys no meso after a 5 % fee,
//      sold for 100,000,000: +95,000,000 meso, won undefined
//   4: 2,000 won at 50,000 meso a won, sold for exactly what it cost: 0 / 0
AuctionItem textItem(int which)
{
    AuctionItem item;
    item.name = "item";
    item.rate = 2000;
    switch (which) {
    case 0:
        item.cashPrice = 10000;
        item.mesoPrice = 1000000000;
        break;
    case 1:
        item.cashPrice = 10000;
        item.isUseMileage = true;
        item.mesoPrice = 100000000;
        break;
    case 2:
        item.cashPrice = 5900;
        item.rate = 0;
        item.mesoPrice = 40000000;
        break;
    case 3:
        item.cashPrice = 1000;
        item.rate = 60000000;
        item.fee = 5;
        item.mesoPrice = 100000000;
        break;
    default:
        item.cashPrice = 2000;
        item.mesoPrice = 100000000;
        break;
    }
    return item;
}

// The bar's text in stretches of one colour: "text", or "text in #rrggbb".
QStringList colouredRuns(const TotalsBar &bar)
{
    QTextDocument document;
    document.setHtml(bar.findChild<QLabel *>()->text());
    QStringList runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            const QString text = fragment.fragment().text();
            runs << (format.hasProperty(QTextFormat::ForegroundBrush)
                         ? text + QStringLiteral(" in ") + format.foreground().color().name()
                         : text);
        }
    }
    return runs;
}

// 2 stands for "no sign": no item has that profit.
int signCode(const std::optional<int> &sign)
{
    return sign ? *sign : 2;
}

} // namespace

void TotalsTest::text_data()
{
    QTest::addColumn<QList<int>>("items");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<int>("mesoSign");
    QTest::addColumn<int>("wonSign");

    QTest::newRow("empty") << QList<int>{} << QString::fromUtf8("0개 · 지불 0원 · 손익 0메소 / 0원") << 2 << 2;
    QTest::newRow("gain and loss, one unknown")
        << QList<int>{0, 1, 2} << QString::fromUtf8("3개 · 지불 22,900원 · 손익 +250,000,000메소 / +5,000원 (손익 미정 1개)")
        << 1 << 1;
    QTest::newRow("won unknown for more items")
        << QList<int>{0, 1, 2, 3}
        << QString::fromUtf8("4개 · 지불 23,900원 · 손익 +345,000,000메소 / +5,000원 (손익 미정 메소 1개 / 원 2개)") << 1 << 1;
    QTest::newRow("loss") << QList<int>{1} << QString::fromUtf8("1개 · 지불 7,000원 · 손익 -250,000,000메소 / -5,000원")
                          << -1 << -1;
    QTest::newRow("break even") << QList<int>{4} << QString::fromUtf8("1개 · 지불 2,000원 · 손익 0메소 / 0원") << 0 << 0;
    QTest::newRow("nothing known") << QList<int>{2, 2}
                                   << QString::fromUtf8("2개 · 지불 11,800원 · 손익 0메소 / 0원 (손익 미정 2개)") << 2 << 2;
}

void TotalsTest::text()
{
    QFETCH(QList<int>, items);
    QFETCH(QString, summary);
    QFETCH(int, mesoSign);
    QFETCH(int, wonSign);

    LedgerTotals totals;
    for (int which : items)
        totals.add(textItem(which));
    QCOMPARE(totals.summary(), summary);
    const LedgerTotals::Text text = totals.text();
    QCOMPARE(signCode(text.profitMesoSign), mesoSign);
    QCOMPARE(signCode(text.profitWonSign), wonSign);
}

// The bar as the window will show it: each profit in the colour of its
// sign, the rest plain, the count of unknown profits only when there is one.
void TotalsTest::bar()
{
    TotalsBar bar;
    QCOMPARE(bar.objectName(), QStringLiteral("totalsBar"));
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    const auto show = [&bar](const LedgerTotals &totals) {
        bar.setTotals(totals);
        bar.resize(bar.sizeHint());
        return colouredRuns(bar);
    };

    // A gain in meso and in won.
    AuctionItem item = textItem(0);
    item.mesoPrice = 500100000; // 100,000 meso above the cost: +100,000 meso, +2 won
    LedgerTotals totals;
    totals.add(item);
    totals.add(textItem(1)); // -250,000,000 / -5,000
    totals.add(textItem(2));
    totals.remove(textItem(1));
    totals.add(textItem(4));
    QCOMPARE(show(totals), QStringList({QString::fromUtf8("3개 · 지불 17,900원 · 손익 "),
                                        QString::fromUtf8("+100,000메소 in #ff0000"), QStringLiteral(" / "),
                                        QString::fromUtf8("+2원 in #ff0000"), QString::fromUtf8(" (손익 미정 1개)")}));
    QCOMPARE(bar.line(), totals.summary());
    QVERIFY(!bar.isShortened());
    QCOMPARE(bar.shownText(), bar.line());
    QVERIFY(bar.toolTip().isEmpty());
    // The whole line fits the bar.
    QVERIFY(bar.contentsRect().width() >= bar.fontMetrics().horizontalAdvance(bar.line()));

    // Too narrow: the count goes, then the won paid, then the start of the
    // profits; the tooltip shows the whole line.
    const auto narrow = [&bar](const QString &text) {
        const QMargins margins = bar.contentsMargins();
        bar.resize(qCeil(QFontMetricsF(bar.font()).horizontalAdvance(text)) + margins.left() + margins.right(),
                   bar.height());
    };
    const QString withoutCount = QString::fromUtf8("지불 17,900원 · 손익 +100,000메소 / +2원 (손익 미정 1개)");
    const QString profits = QString::fromUtf8("손익 +100,000메소 / +2원 (손익 미정 1개)");
    narrow(withoutCount);
    QCOMPARE(bar.shownText(), withoutCount);
    QCOMPARE(bar.toolTip(), totals.summary());
    // Shown where the pointer rests on the line.
    QLabel *label = bar.findChild<QLabel *>();
    QHelpEvent hover(QEvent::ToolTip, label->rect().center(), label->mapToGlobal(label->rect().center()));
    QApplication::sendEvent(label, &hover);
    QTRY_COMPARE(QToolTip::text(), totals.summary());
    QToolTip::hideText();
    narrow(profits);
    QCOMPARE(bar.shownText(), profits);
    QCOMPARE(colouredRuns(bar).first(), QString::fromUtf8("손익 "));
    QCOMPARE(bar.toolTip(), totals.summary());
    narrow(QString::fromUtf8("00메소 / +2원 (손익 미정 1개)"));
    QVERIFY2(bar.shownText().size() < profits.size() && !profits.endsWith(bar.shownText()),
             qPrintable(bar.shownText()));
    QVERIFY(bar.fontMetrics().horizontalAdvance(bar.shownText()) <= bar.contentsRect().width());
    QCOMPARE(colouredRuns(bar).mid(colouredRuns(bar).size() - 3),
             QStringList({QStringLiteral(" / "), QString::fromUtf8("+2원 in #ff0000"), QString::fromUtf8(" (손익 미정 1개)")}));
    QCOMPARE(bar.toolTip(), totals.summary());

    totals.add(textItem(1));
    QCOMPARE(show(totals), QStringList({QString::fromUtf8("4개 · 지불 24,900원 · 손익 "),
                                        QString::fromUtf8("-249,900,000메소 in #0000ff"), QStringLiteral(" / "),
                                        QString::fromUtf8("-4,998원 in #0000ff"), QString::fromUtf8(" (손익 미정 1개)")}));
    QVERIFY(bar.toolTip().isEmpty());

    // Breaking even reads as the profit cells do: blue.
    totals.clear();
    totals.add(textItem(4));
    QCOMPARE(show(totals), QStringList({QString::fromUtf8("1개 · 지불 2,000원 · 손익 "),
                                        QString::fromUtf8("0메소 in #0000ff"), QStringLiteral(" / "),
                                        QString::fromUtf8("0원 in #0000ff")}));

    // Only unknown profits: the totals read as neither gain nor loss.
    totals.clear();
    totals.add(textItem(2));
    QCOMPARE(show(totals), QStringList({QString::fromUtf8("1개 · 지불 5,900원 · 손익 0메소 / 0원 (손익 미정 1개)")}));

    totals.clear();
    QCOMPARE(show(totals), QStringList({QString::fromUtf8("0개 · 지불 0원 · 손익 0메소 / 0원")}));
}

// Totals that grew far too long for the window and shrank again (an undo)
// leave the line where it was, at the right end of the status bar, and a
// message of the status bar is never covered by it.
void TotalsTest::lineKeepsItsPlaceAfterLongTotals()
{
    PortableFolder folder;
    struct Release
    {
        ~Release() { releaseWindow(); }
    } release;
    MainWindow *window = exposed(windowFromIdZero());
    QVERIFY(window);
    setRatio(window, 3000);
    QStatusBar *status = window->statusBar();
    auto *bar = window->findChild<TotalsBar *>(QStringLiteral("totalsBar"));
    QVERIFY(bar);
    QAction *undo = window->menuBar()->actions().at(1)->menu()->actions().at(0);
    // Layout changes reach the status bar through posted events.
    const auto settle = [] {
        for (int round = 0; round < 4; ++round)
            QCoreApplication::processEvents();
    };
    // QStatusBar writes its message from 6 pixels in to 2 pixels short of
    // its first permanent widget.
    const QString message = QString::fromUtf8("스크린샷 저장: 20261207123456.png");
    const auto messageFits = [&] {
        return bar->x() - 8 >= status->fontMetrics().horizontalAdvance(message);
    };

    LedgerStore &store = LedgerStore::instance();
    store.addItem("item", 10000, 300000000, true);
    settle();
    const QRect small = bar->geometry();
    QVERIFY(!bar->isShortened());

    const int huge = 20;
    for (int k = 0; k < huge; ++k)
        store.addItem("item", std::numeric_limits<int32_t>::max(), int64Max, false);
    settle();
    QVERIFY2(bar->sizeHint().width() + status->fontMetrics().horizontalAdvance(message) > status->width(),
             "the long totals leave room for the message: they prove nothing");
    for (int k = 0; k < huge; ++k)
        undo->trigger();
    settle();
    QCOMPARE(store.items().size(), size_t(1));
    QCOMPARE(bar->geometry(), small);

    status->showMessage(message);
    settle();
    QVERIFY2(messageFits(), qPrintable(QStringLiteral("the message has %1 pixels").arg(bar->x() - 8)));
    // Long totals while the message is shown take only the room it leaves.
    for (int k = 0; k < huge; ++k)
        store.addItem("item", std::numeric_limits<int32_t>::max(), int64Max, false);
    settle();
    QVERIFY2(messageFits(), qPrintable(QStringLiteral("the message has %1 pixels").arg(bar->x() - 8)));
    QCOMPARE(bar->geometry().right(), small.right());
    // Shortened to the line's end, not dropped.
    const QString shown = bar->shownText();
    QVERIFY2(bar->isVisible() && bar->isShortened() && shown.size() > 1 && bar->line().endsWith(shown.mid(1)), qPrintable(shown));
    QVERIFY2(bar->fontMetrics().horizontalAdvance(shown) <= bar->contentsRect().width(), qPrintable(shown));
    for (int k = 0; k < huge; ++k)
        undo->trigger();
    status->clearMessage();
    settle();
    QCOMPARE(bar->geometry(), small);
}

QTEST_MAIN(TotalsTest)
#include "tst_totals.moc"
