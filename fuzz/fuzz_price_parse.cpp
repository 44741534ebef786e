// A price typed into a cash or meso cell: commas removed, then the leading
// integer read. The reading must agree with strtoll on the same text wherever
// strtoll's answer is defined (digits found, no overflow).

#include "ProfitMath.h"

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

[[noreturn]] void fail(const char *what, const QByteArray &text)
{
    std::fprintf(stderr, "fuzz_price_parse: %s for text \"%s\"\n", what, text.toHex().constData());
    std::abort();
}

void check(const QByteArray &typed)
{
    const QByteArray stripped = ProfitMath::stripCommas(typed);

    std::string expectedStripped;
    for (const char c : typed)
        if (c != ',')
            expectedStripped.push_back(c);
    if (stripped.size() != static_cast<int>(expectedStripped.size())
        || std::string(stripped.constData(), static_cast<size_t>(stripped.size())) != expectedStripped)
        fail("stripCommas kept a comma or lost another byte", typed);

    const std::optional<int64_t> parsed = ProfitMath::parseLeadingInteger(stripped);
    const bool startsWithDigits = ProfitMath::startsWithInteger(stripped);

    // strtoll reads a C string: a NUL ends the text for it. Our reader stops
    // at a NUL too, since it is neither blank, sign nor digit.
    const std::string cText(stripped.constData(), static_cast<size_t>(stripped.size()));
    const char *begin = cText.c_str();
    char *end = nullptr;
    errno = 0;
    const long long reference = std::strtoll(begin, &end, 10);
    const bool referenceFoundDigits = end != begin;
    const bool referenceOverflowed = errno == ERANGE;

    if (startsWithDigits != referenceFoundDigits)
        fail("startsWithInteger disagrees with strtoll about a leading integer", typed);
    if (!referenceFoundDigits) {
        if (parsed)
            fail("a value was read where strtoll finds no digits", typed);
        return;
    }
    if (referenceOverflowed) {
        if (parsed)
            fail("a value was read where strtoll overflows 64 bits", typed);
        return;
    }
    if (!parsed)
        fail("no value was read where strtoll reads one", typed);
    if (*parsed != reference)
        fail("the value read differs from strtoll's", typed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1 << 16)
        return 0;
    const QByteArray raw(reinterpret_cast<const char *>(data), static_cast<int>(size));
    check(raw);
    // What a cell editor really hands over: the text as QString, back to UTF-8
    // (invalid sequences become U+FFFD).
    check(QString::fromUtf8(raw).toUtf8());
    return 0;
}
