#pragma once

#include "LedgerStore.h"

#include <Qt>

#include <cstdint>
#include <vector>

// The order a click on a column's title puts the table's rows in.
namespace HeaderSort {

// The ids of items, the top row first, ordered by what the table's column
// shows of them: figures as numbers, names in Korean order, the mileage
// flag by its letter ("O" before "X" going up). A figure that is not there
// (a profit without a ratio) comes last in either order. Items that show
// the same keep the order the table shows them in by default, the newest
// on top.
std::vector<int32_t> idsInOrder(const LedgerStore::ItemMap &items, int column, Qt::SortOrder order);

} // namespace HeaderSort
