#include "HeaderSort.h"

#include "AuctionRows.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <numeric>
#include <optional>

using namespace AuctionRows;

namespace HeaderSort {

namespace {

struct Entry
{
    int32_t id;
    // The place of the name among the distinct names, then its rank.
    int64_t key;
    bool missing;
};

// Gives each entry the rank of its item's name in Korean order. Each
// distinct name gets its collation key once; the entries then compare
// numbers, not texts.
void rankNames(std::vector<Entry> &entries, const std::vector<const QByteArray *> &names)
{
    QHash<QByteArray, int> placeOf;
    std::vector<const QByteArray *> distinct;
    for (size_t k = 0; k < entries.size(); ++k) {
        const QByteArray &name = *names[k];
        auto found = placeOf.constFind(name);
        if (found == placeOf.constEnd()) {
            found = placeOf.insert(name, static_cast<int>(distinct.size()));
            distinct.push_back(&name);
        }
        entries[k].key = *found;
    }

    QCollator collator(QLocale(QLocale::Korean, QLocale::SouthKorea));
    std::vector<int> sorted(distinct.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::vector<int64_t> rank(distinct.size());
#ifdef Q_OS_WIN
    // Qt 5's sort keys on Windows compare the system's key bytes two at a
    // time as UTF-16 units, which puts Hangul out of order ("다람쥐" before
    // "나비"): the names are compared by the collator itself there.
    std::vector<QString> texts;
    texts.reserve(distinct.size());
    for (const QByteArray *name : distinct)
        texts.push_back(QString::fromUtf8(*name));
    const auto order = [&](int a, int b) { return collator.compare(texts[a], texts[b]); };
#else
    std::vector<QCollatorSortKey> sortKeys;
    sortKeys.reserve(distinct.size());
    for (const QByteArray *name : distinct)
        sortKeys.push_back(collator.sortKey(QString::fromUtf8(*name)));
    const auto order = [&](int a, int b) { return sortKeys[a].compare(sortKeys[b]); };
#endif
    std::sort(sorted.begin(), sorted.end(), [&](int a, int b) { return order(a, b) < 0; });
    // Names that collate alike share a rank.
    for (size_t k = 0; k < sorted.size(); ++k)
        rank[sorted[k]] = k > 0 && order(sorted[k - 1], sorted[k]) == 0 ? rank[sorted[k - 1]]
                                                                        : static_cast<int64_t>(k);
    for (Entry &entry : entries)
        entry.key = rank[static_cast<size_t>(entry.key)];
}

} // namespace

std::vector<int32_t> idsInOrder(const LedgerStore::ItemMap &items, int column, Qt::SortOrder order)
{
    std::vector<Entry> entries;
    entries.reserve(items.size());
    std::vector<const QByteArray *> names;
    if (column == NameColumn)
        names.reserve(items.size());
    // Newest first, as the rows come in.
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const AuctionItem &item = it->second;
        std::optional<int64_t> key;
        switch (column) {
        case NameColumn:
            names.push_back(&item.name);
            key = 0;
            break;
        case CashColumn:
            key = item.wonCost();
            break;
        case MesoColumn:
            key = item.mesoPrice;
            break;
        case ProfitMesoColumn:
            key = item.profitMeso();
            break;
        case ProfitWonColumn:
            key = item.profitWon();
            break;
        case RateColumn:
            key = item.rate;
            break;
        case FeeColumn:
            key = item.fee;
            break;
        case MileageColumn:
            key = item.isUseMileage ? 0 : 1;
            break;
        default:
            key = it->first;
            break;
        }
        entries.push_back({it->first, key.value_or(0), !key.has_value()});
    }
    if (column == NameColumn)
        rankNames(entries, names);

    const bool ascending = order == Qt::AscendingOrder;
    std::stable_sort(entries.begin(), entries.end(), [ascending](const Entry &a, const Entry &b) {
        if (a.missing || b.missing)
            return !a.missing && b.missing;
        return ascending ? a.key < b.key : b.key < a.key;
    });
    std::vector<int32_t> ids;
    ids.reserve(entries.size());
    for (const Entry &entry : entries)
        ids.push_back(entry.id);
    return ids;
}

} // namespace HeaderSort
