#include "CellEdit.h"

#include "AuctionRows.h"
#include "ProfitMath.h"

#include <limits>

namespace CellEdit {

namespace {

// A price the load and the registration dialog would take: a whole number
// above 0 that fits its field. Empty when it is one.
QString priceRefusal(const QByteArray &text, bool isCash, int64_t &price)
{
    // "7억" or "1.5" is not a price of 7 or 1.
    if (!ProfitMath::isWholeNumber(text))
        return QString::fromUtf8("가격은 숫자로 입력해주세요.");
    const std::optional<int64_t> parsed = ProfitMath::parseLeadingInteger(text);
    const bool fits = parsed
        && (!isCash || (*parsed >= std::numeric_limits<int32_t>::min() && *parsed <= std::numeric_limits<int32_t>::max()));
    if (!fits && isCash)
        return QString::fromUtf8("캐시 가격이 너무 큽니다. "
                                 "-2,147,483,648부터 2,147,483,647까지 입력할 수 있습니다.");
    if (!fits)
        return QString::fromUtf8("메소 가격이 너무 큽니다. -9,223,372,036,854,775,808부터 "
                                 "9,223,372,036,854,775,807까지 입력할 수 있습니다.");
    if (*parsed <= 0)
        return QString::fromUtf8("가격은 0보다 커야 합니다.");
    price = *parsed;
    return QString();
}

} // namespace

Result read(const AuctionItem &item, int column, const QString &typed)
{
    AuctionItem after = item;
    if (column == AuctionRows::NameColumn) {
        after.name = typed.toUtf8();
        // An item without a name is one the next load would drop.
        if (after.name.isEmpty())
            return {std::nullopt, QString::fromUtf8("이름을 입력해주세요.")};
        return {after, QString()};
    }
    const bool isCash = column == AuctionRows::CashColumn;
    int64_t price = 0;
    const QString refusal = priceRefusal(ProfitMath::stripCommas(typed.toUtf8()).trimmed(), isCash, price);
    if (!refusal.isEmpty())
        return {std::nullopt, refusal};
    if (isCash)
        after.cashPrice = static_cast<int32_t>(price);
    else
        after.mesoPrice = price;
    return {after, QString()};
}

} // namespace CellEdit
