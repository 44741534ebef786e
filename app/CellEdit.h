#pragma once

#include "AuctionItem.h"

#include <QString>

#include <optional>

// The user's edit of a name or price cell, read and checked.
namespace CellEdit {

struct Result
{
    // The item with `typed` in the edited field; empty when it was refused.
    std::optional<AuctionItem> after;
    // Why it was refused; empty when it was taken.
    QString refusal;
};

// Reads `typed` as field `column` of `item`.
Result read(const AuctionItem &item, int column, const QString &typed);

} // namespace CellEdit
