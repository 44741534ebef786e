#pragma once

#include <QString>

#include <cstdint>

class LedgerStore;

// The user's edit of a name or price cell, taken into the store or refused.
namespace CellEdit {

// Applies `typed` to field `column` of item id. Empty when the store took
// it (or it changed nothing); otherwise why it was refused, and the item
// keeps its value.
QString apply(LedgerStore &store, int32_t id, int column, const QString &typed);

} // namespace CellEdit
