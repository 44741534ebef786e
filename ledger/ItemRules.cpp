#include "ItemRules.h"

#include "ProfitMath.h"

namespace ItemRules {

namespace {

int64_t largest(Price field)
{
    return field == Price::Cash ? largestCashPrice : largestMesoPrice;
}

QString notAboveZero()
{
    return QString::fromUtf8("가격은 0보다 커야 합니다.");
}

// Names the range a price may take: from 1, since 0 and below are refused.
QString tooLarge(Price field)
{
    const char *what = field == Price::Cash ? "캐시 가격이 너무 큽니다. " : "메소 가격이 너무 큽니다. ";
    return QString::fromUtf8(what) + QString::fromUtf8("1부터 ")
        + QString::fromLatin1(ProfitMath::formatThousands(largest(field)))
        + QString::fromUtf8("까지 입력할 수 있습니다.");
}

} // namespace

std::optional<QString> nameRefusal(const QByteArray &name)
{
    if (name.isEmpty())
        return QString::fromUtf8("이름을 입력해주세요.");
    return std::nullopt;
}

std::optional<QString> priceRefusal(Price field, int64_t price)
{
    if (price <= 0)
        return notAboveZero();
    if (price > largest(field))
        return tooLarge(field);
    return std::nullopt;
}

std::optional<QString> itemRefusal(const QByteArray &name, int64_t cashPrice, int64_t mesoPrice)
{
    if (std::optional<QString> refusal = nameRefusal(name))
        return refusal;
    if (std::optional<QString> refusal = priceRefusal(Price::Cash, cashPrice))
        return refusal;
    return priceRefusal(Price::Meso, mesoPrice);
}

std::optional<QString> readTypedPrice(Price field, const QString &typed, int64_t &price)
{
    const QByteArray text = ProfitMath::stripCommas(typed.toUtf8()).trimmed();
    if (!ProfitMath::isWholeNumber(text))
        return QString::fromUtf8("가격은 숫자로 입력해주세요.");
    const std::optional<int64_t> parsed = ProfitMath::parseLeadingInteger(text);
    // Beyond 64 bits: below 0 or too large, by its sign.
    if (!parsed)
        return text.startsWith('-') ? notAboveZero() : tooLarge(field);
    if (std::optional<QString> refusal = priceRefusal(field, *parsed))
        return refusal;
    price = *parsed;
    return std::nullopt;
}

} // namespace ItemRules
