#include "ItemRules.h"

#include "ProfitMath.h"

namespace ItemRules {

int64_t largestPrice(Price field)
{
    return field == Price::Cash ? largestCashPrice : largestMesoPrice;
}

QString rangeText(int64_t largest)
{
    return QString::fromUtf8("1부터 ") + QString::fromLatin1(ProfitMath::formatThousands(largest))
        + QString::fromUtf8("까지 입력할 수 있습니다.");
}

namespace {

// Every price refusal names the range the field takes: from 1, since 0 and
// below are refused.
QString notAboveZero(Price field)
{
    return QString::fromUtf8("가격은 0보다 커야 합니다. ") + rangeText(largestPrice(field));
}

QString notANumber(Price field)
{
    return QString::fromUtf8("가격은 숫자로 입력해주세요. ") + rangeText(largestPrice(field));
}

QString tooLarge(Price field)
{
    const char *what = field == Price::Cash ? "캐시 가격이 너무 큽니다. " : "메소 가격이 너무 큽니다. ";
    return QString::fromUtf8(what) + rangeText(largestPrice(field));
}

} // namespace

std::optional<QString> nameRefusal(const QByteArray &name)
{
    if (name.isEmpty())
        return QString::fromUtf8("이름을 입력해주세요.");
    return std::nullopt;
}

std::optional<PriceFault> priceFault(Price field, int64_t price)
{
    if (price <= 0)
        return PriceFault::NotAboveZero;
    if (price > largestPrice(field))
        return PriceFault::TooLarge;
    return std::nullopt;
}

std::optional<QString> priceRefusal(Price field, int64_t price)
{
    const std::optional<PriceFault> fault = priceFault(field, price);
    if (!fault)
        return std::nullopt;
    return *fault == PriceFault::NotAboveZero ? notAboveZero(field) : tooLarge(field);
}

std::optional<QString> itemRefusal(const QByteArray &name, int64_t cashPrice, int64_t mesoPrice)
{
    if (std::optional<QString> refusal = nameRefusal(name))
        return refusal;
    if (std::optional<QString> refusal = priceRefusal(Price::Cash, cashPrice))
        return refusal;
    return priceRefusal(Price::Meso, mesoPrice);
}

TypedNumber readTypedNumber(const QString &typed)
{
    using Kind = TypedNumber::Kind;
    const QByteArray bytes = typed.toUtf8();
    if (bytes.trimmed().isEmpty())
        return {Kind::Nothing, 0};
    const QByteArray text = ProfitMath::stripCommas(bytes).trimmed();
    if (!ProfitMath::isWholeNumber(text))
        return {Kind::NotANumber, 0};
    const std::optional<int64_t> parsed = ProfitMath::parseLeadingInteger(text);
    // Beyond 64 bits: below or above, by its sign.
    if (!parsed)
        return {text.startsWith('-') ? Kind::BelowRange : Kind::AboveRange, 0};
    return {Kind::Number, *parsed};
}

std::optional<QString> readTypedPrice(Price field, const QString &typed, int64_t &price)
{
    const TypedNumber number = readTypedNumber(typed);
    switch (number.kind) {
    case TypedNumber::Kind::Nothing:
    case TypedNumber::Kind::NotANumber:
        return notANumber(field);
    case TypedNumber::Kind::BelowRange:
        return notAboveZero(field);
    case TypedNumber::Kind::AboveRange:
        return tooLarge(field);
    case TypedNumber::Kind::Number:
        break;
    }
    if (std::optional<QString> refusal = priceRefusal(field, number.value))
        return refusal;
    price = number.value;
    return std::nullopt;
}

} // namespace ItemRules
