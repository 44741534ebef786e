#pragma once

#include "AuctionItem.h"
#include "ItemMap.h"
#include "ProfitMath.h"

#include <QString>
#include <QVector>

#include <cstdint>
#include <optional>

// Running totals of a ledger for the status line: how many items, the won
// paid for them and their profits. Kept up to date item by item so a change
// to one row never walks the whole ledger.
//
// remove() must see an item exactly as add() saw it: figures are computed
// from the item's fields, so an item edited in between (or every item after
// a new ratio, fee or discount) has to be taken out before the edit and put
// back after it, or the whole ledger recounted.
class LedgerTotals
{
public:
    using Sum = ProfitMath::Int128;

    // The status line in pieces, so a widget can colour the profits and
    // leave the rest plain.
    struct Text
    {
        QString count;      // "12개", or "검색 결과 4 / 12개"
        QString paid;       // "지불 84,300원"
        QString profitMeso; // "+231,450,000메소"
        QString profitWon;  // "+7,310원"
        QString undefined;  // "손익 미정 3개"; empty when every profit is known
        // -1, 0 or 1, the sign of each profit total; empty when not one item
        // has that profit, so the total reads as neither a gain nor a loss.
        std::optional<int> profitMesoSign;
        std::optional<int> profitWonSign;
    };

    void add(const AuctionItem &item);
    // An item by the figures already worked out for it.
    void add(int32_t wonCost, const std::optional<int64_t> &profitMeso, const std::optional<int64_t> &profitWon);
    void remove(const AuctionItem &item);
    void clear();
    void recount(const ItemMap &items);

    int64_t itemCount() const { return m_itemCount; }
    Sum wonPaid() const { return m_wonPaid; }
    // Over the items whose profit is defined.
    Sum profitMeso() const { return m_profitMeso; }
    Sum profitWon() const { return m_profitWon; }
    // Items whose profit is undefined. A ratio above what a won can buy
    // after the fee leaves the won profit undefined while the meso profit
    // is known, so the two counts can differ.
    int64_t undefinedMesoCount() const { return m_undefinedMeso; }
    int64_t undefinedWonCount() const { return m_undefinedWon; }

    // -1, 0 or 1; empty when not one item has that profit.
    std::optional<int> profitMesoSign() const;
    std::optional<int> profitWonSign() const;

    // A stretch of the status line: its text and, for a profit total that
    // some item has, its sign, which the line shows as the profit cells do.
    struct Run
    {
        QString text;
        std::optional<int> sign;
    };

    // These totals are of the rows a search found among `items` items: the
    // count says so ("검색 결과 4 / 1,000개"). Empty for the whole ledger.
    void setFoundAmong(std::optional<int64_t> items) { m_foundAmong = items; }

    Text text() const;
    // The status line in runs, left to right: the count ("12개 · "), the won
    // paid ("지불 84,300원 · "), then the profits ("손익 ", "+231,450,000메소",
    // " / ", "+7,310원" and " (손익 미정 3개)" when some are unknown). A line
    // too narrow for its room leaves out the first run, then the second.
    QVector<Run> runs() const;
    // The runs joined:
    // "12개 · 지불 84,300원 · 손익 +231,450,000메소 / +7,310원 (손익 미정 3개)"
    QString summary() const;

private:
    void apply(int32_t wonCost, const std::optional<int64_t> &profitMeso, const std::optional<int64_t> &profitWon,
               int direction);

    int64_t m_itemCount = 0;
    Sum m_wonPaid = 0;
    Sum m_profitMeso = 0;
    Sum m_profitWon = 0;
    int64_t m_undefinedMeso = 0;
    int64_t m_undefinedWon = 0;
    std::optional<int64_t> m_foundAmong;
};
