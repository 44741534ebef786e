#include "CellEdit.h"

#include "AuctionRows.h"
#include "ItemRules.h"

namespace CellEdit {

Result read(const AuctionItem &item, int column, const QString &typed)
{
    AuctionItem after = item;
    if (column == AuctionRows::NameColumn) {
        after.name = typed.toUtf8();
        if (const std::optional<QString> refusal = ItemRules::nameRefusal(after.name))
            return {std::nullopt, *refusal};
        return {after, QString()};
    }
    const bool isCash = column == AuctionRows::CashColumn;
    int64_t price = 0;
    if (const std::optional<QString> refusal
        = ItemRules::readTypedPrice(isCash ? ItemRules::Price::Cash : ItemRules::Price::Meso, typed, price))
        return {std::nullopt, *refusal};
    if (isCash)
        after.cashPrice = static_cast<int32_t>(price);
    else
        after.mesoPrice = price;
    return {after, QString()};
}

} // namespace CellEdit
