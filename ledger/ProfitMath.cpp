#include "ProfitMath.h"

#include <cmath>
#include <limits>

namespace ProfitMath {

int32_t truncToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0)
        return std::numeric_limits<int32_t>::max();
    if (value <= -2147483649.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int64_t truncToInt64(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775808.0)
        return std::numeric_limits<int64_t>::max();
    if (value < -9223372036854775808.0)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

int32_t mileageAdjusted(int32_t cashPrice, bool isUseMileage)
{
    if (!isUseMileage)
        return cashPrice;
    // Both steps round to single precision; volatile keeps a compiler from
    // carrying the product in a wider register.
    volatile float price = static_cast<float>(cashPrice);
    volatile float discounted = price * 0.7f;
    float result = discounted;
    if (result >= 2147483648.0f)
        return std::numeric_limits<int32_t>::max();
    if (result < -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(result);
}

double percentFactor(double percent)
{
    const double fraction = percent * 0.01;
    return 1.0 - fraction;
}

double mesoPerWon(int32_t rate, int32_t fee)
{
    if (rate < 1)
        return 0.0;
    return percentFactor(static_cast<double>(fee)) * static_cast<double>(ratioBase / rate);
}

namespace {

// The digits of a magnitude, least significant first, written most
// significant first with "," between groups of three.
int groupedDigits(const char *reversedDigits, int count, bool negative, char *out)
{
    int length = 0;
    if (negative)
        out[length++] = '-';
    for (int i = 0; i < count; ++i) {
        if (i > 0 && i % 3 == count % 3)
            out[length++] = ',';
        out[length++] = reversedDigits[count - 1 - i];
    }
    return length;
}

} // namespace

QByteArray formatThousands(int64_t value)
{
    // 64-bit division: a table formats hundreds of thousands of these.
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    char text[thousandsCapacity];
    return QByteArray(text, groupedDigits(digits, count, value < 0, text));
}

QByteArray formatThousands128(Int128 value)
{
    char text[thousandsCapacity];
    return QByteArray(text, formatThousands128(value, text));
}

int formatThousands128(Int128 value, char *out)
{
    __extension__ typedef unsigned __int128 UnsignedInt128;
    // The magnitude of the most negative value only fits the unsigned type.
    UnsignedInt128 magnitude = value < 0 ? 0 - static_cast<UnsignedInt128>(value) : static_cast<UnsignedInt128>(value);
    char digits[40];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    return groupedDigits(digits, count, value < 0, out);
}

QString rateSummaryText(int32_t rate, double mesoPerWon)
{
    return QString::fromUtf8("비율 : ") + QString::fromLatin1(formatThousands(rate))
        + QString::fromUtf8("원 -----▶ 1원당 ")
        + QString::fromLatin1(formatThousands(truncToInt32(mesoPerWon)))
        + QString::fromUtf8(" 메소");
}

QByteArray stripCommas(const QByteArray &text)
{
    QByteArray result = text;
    result.replace(',', QByteArray());
    return result;
}

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
} // namespace

bool startsWithInteger(const QByteArray &text)
{
    int i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

bool isWholeNumber(const QByteArray &text)
{
    int i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i >= text.size())
        return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

std::optional<int64_t> parseLeadingInteger(const QByteArray &text)
{
    int i = 0;
    const int size = text.size();
    while (i < size && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= size || text[i] < '0' || text[i] > '9')
        return std::nullopt;
    // Accumulate the magnitude; the most negative value is one larger than
    // the most positive, so the limit depends on the sign.
    const uint64_t limit = negative ? uint64_t(1) << 63 : (uint64_t(1) << 63) - 1;
    uint64_t magnitude = 0;
    for (; i < size && text[i] >= '0' && text[i] <= '9'; ++i) {
        const uint64_t digit = static_cast<uint64_t>(text[i] - '0');
        if (magnitude > (limit - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (negative)
        return magnitude == (uint64_t(1) << 63) ? std::numeric_limits<int64_t>::min()
                                                 : -static_cast<int64_t>(magnitude);
    return static_cast<int64_t>(magnitude);
}

} // namespace ProfitMath
