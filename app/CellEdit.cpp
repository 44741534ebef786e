#include "CellEdit.h"

#include "AuctionRows.h"
#include "ItemRules.h"
#include "LedgerStore.h"

namespace CellEdit {

QString apply(LedgerStore &store, int32_t id, int column, const QString &typed)
{
    if (column == AuctionRows::NameColumn) {
        const QByteArray name = typed.toUtf8();
        if (const std::optional<QString> refusal = ItemRules::nameRefusal(name))
            return *refusal;
        store.setName(id, name);
        return QString();
    }
    const bool isCash = column == AuctionRows::CashColumn;
    int64_t price = 0;
    if (const std::optional<QString> refusal
        = ItemRules::readTypedPrice(isCash ? ItemRules::Price::Cash : ItemRules::Price::Meso, typed, price))
        return *refusal;
    if (isCash)
        store.setCashPrice(id, static_cast<int32_t>(price));
    else
        store.setMesoPrice(id, price);
    return QString();
}

} // namespace CellEdit
