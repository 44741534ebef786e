// The 64-bit validator of the meso price field. Its answer is checked against
// a second reading of its rules, written without QString::toLongLong: the
// number is read here digit by digit, with the same leniencies as Qt's C
// locale conversion (white space around the number, "+", "-" or U+2212 as the
// sign).
//
// Input layout: byte 0 chooses the mode; with bit 0 set the next 16 bytes are
// the bottom and the top (otherwise the default, whole 64-bit range); with
// bit 1 set the rest is UTF-16 code units (lone surrogates included),
// otherwise UTF-8.

#include "QLongLongValidator.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

namespace {

[[noreturn]] void fail(const char *what, const QString &input, qlonglong bottom, qlonglong top)
{
    std::fprintf(stderr, "fuzz_validator: %s; bottom %lld top %lld input (UTF-16 hex) %s\n", what, bottom, top,
                 QByteArray(reinterpret_cast<const char *>(input.utf16()), input.size() * 2).toHex().constData());
    std::abort();
}

// The number a text stands for, or nothing when it is not one number in the
// 64-bit range.
std::optional<qlonglong> readNumber(const QString &text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && text.at(begin).isSpace())
        ++begin;
    while (end > begin && text.at(end - 1).isSpace())
        --end;
    bool negative = false;
    if (begin < end) {
        const char16_t c = text.at(begin).unicode();
        if (c == u'+' || c == u'-' || c == 0x2212) {
            negative = c != u'+';
            ++begin;
        }
    }
    if (begin == end)
        return std::nullopt;
    // Accumulate the magnitude in 128 bits so that no digit count overflows.
    unsigned __int128 magnitude = 0;
    const unsigned __int128 ceiling = static_cast<unsigned __int128>(1) << 64;
    for (int i = begin; i < end; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > ceiling)
            magnitude = ceiling;
    }
    const unsigned __int128 largest = static_cast<unsigned __int128>(std::numeric_limits<qlonglong>::max());
    if (negative) {
        if (magnitude > largest + 1)
            return std::nullopt;
        return magnitude == largest + 1 ? std::numeric_limits<qlonglong>::min()
                                        : -static_cast<qlonglong>(magnitude);
    }
    if (magnitude > largest)
        return std::nullopt;
    return static_cast<qlonglong>(magnitude);
}

QValidator::State expectedState(const QString &input, qlonglong bottom, qlonglong top)
{
    if (input.contains(QChar(u' ')))
        return QValidator::Invalid;
    if (input.isEmpty())
        return QValidator::Intermediate;
    if (bottom < 0 && input == QStringLiteral("-"))
        return QValidator::Intermediate;
    const std::optional<qlonglong> value = readNumber(input);
    if (!value)
        return QValidator::Invalid;
    const qlonglong v = *value;
    if (bottom <= v && v <= top)
        return QValidator::Acceptable;
    // Out of range: a number of the sign that bottom forbids can never become
    // acceptable; otherwise the side the number is on decides.
    if (v < 0 && bottom >= 0)
        return QValidator::Invalid;
    if (v >= 0)
        return v > top ? QValidator::Invalid : QValidator::Intermediate;
    return v < bottom ? QValidator::Invalid : QValidator::Intermediate;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    const uint8_t mode = data[0];
    ++data;
    --size;

    QLongLongValidator validator;
    if (validator.bottom() != std::numeric_limits<qlonglong>::min()
        || validator.top() != std::numeric_limits<qlonglong>::max())
        fail("the default range is not the whole 64-bit range", QString(), validator.bottom(), validator.top());
    if ((mode & 1) && size >= 16) {
        qlonglong bottom;
        qlonglong top;
        std::memcpy(&bottom, data, 8);
        std::memcpy(&top, data + 8, 8);
        validator.setBottom(bottom);
        validator.setTop(top);
        if (validator.bottom() != bottom || validator.top() != top)
            fail("a bound did not keep its value", QString(), validator.bottom(), validator.top());
        // The same through the properties.
        if (validator.property("bottom").toLongLong() != bottom || validator.property("top").toLongLong() != top)
            fail("a property disagrees with its bound", QString(), bottom, top);
        data += 16;
        size -= 16;
    }

    QString input;
    if (mode & 2)
        input = QString(reinterpret_cast<const QChar *>(data), static_cast<int>(size / 2));
    else
        input = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));

    const QString before = input;
    const int cursor = static_cast<int>(mode) * 7 - 300;
    int position = cursor;
    const QValidator::State state = validator.validate(input, position);
    if (input != before)
        fail("validate changed its input", before, validator.bottom(), validator.top());
    if (position != cursor)
        fail("validate moved the cursor", before, validator.bottom(), validator.top());
    if (state != expectedState(before, validator.bottom(), validator.top()))
        fail("the state differs from the rules' reading", before, validator.bottom(), validator.top());
    return 0;
}
