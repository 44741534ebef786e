#pragma once

#include <cstdint>

struct AuctionItem;

// The settings that every item carries a copy of.
enum class LedgerSetting { Rate, Fee, Discount };

// Hears of every change of the ledger, synchronously, right after the store
// made it. The store has one listener: whatever shows or records the ledger
// learns of a change here and nowhere else.
class LedgerListener
{
public:
    virtual ~LedgerListener() = default;

    // A new item; it goes on top.
    virtual void itemAdded(int32_t id, const AuctionItem &item) = 0;
    // An item put back under the id it had before, at `position` in the
    // order shown (the row it had, or the nearest one there is).
    virtual void itemRestored(int32_t id, const AuctionItem &item, int position) = 0;
    // The item is gone from the store; `item` is what it was.
    virtual void itemRemoved(int32_t id, const AuctionItem &item) = 0;
    // One field of the item changed from `before` to `after`.
    virtual void itemChanged(int32_t id, const AuctionItem &before, const AuctionItem &after) = 0;
    // Every item is gone and the ids start again at 0.
    virtual void itemsCleared() = 0;
    // A setting changed and every item now carries the new value.
    virtual void settingChanged(LedgerSetting setting) = 0;
};
