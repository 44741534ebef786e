#pragma once

#include "AuctionItem.h"
#include "LedgerCell.h"
#include "LedgerListener.h"

#include <Qt>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class LedgerStore;
class MyTableWidget;
class QString;
class QTableWidgetItem;
namespace AuctionRows {
class FigureShapes;
}

// Lays out the auction table's rows: every row the program puts in, takes
// out, reorders or shows anew goes through here. Its cells (LedgerCell)
// hold only their item's id and work out what they show from the store, so
// no command writes a cell's text; this class tells the view which cells
// to show again. The row of an id is found without reading the others. A
// figure column (2 to 8) grows with whatever it shows so that no figure is
// ever cut short; the name column is fitted when rows come in.
class LedgerTable
{
public:
    LedgerTable(MyTableWidget *table, const LedgerStore &store);
    ~LedgerTable();
    LedgerTable(const LedgerTable &) = delete;
    LedgerTable &operator=(const LedgerTable &) = delete;

    // A new row at the top, or batched (see beginBatch).
    void insertRow(int32_t id);
    // A row at `row`, or the nearest row that exists.
    void insertRowAt(int row, int32_t id);
    void removeRowOf(int32_t id);
    void clear();
    // The table as if emptied and the rows inserted in this order, each on
    // top: every row fresh, nothing selected, the top in view. The rows are
    // in no column's order then: no column title shows an arrow.
    void rebuild(const std::vector<int32_t> &idsInInsertionOrder);
    void highlightTopRow();
    // Moves the rows into the order of what column shows, as a click on its
    // title asks, and shows that title's arrow pointing the way of order.
    // Each row keeps its cells as they are, and the current item stays
    // current. The store and its ids are untouched.
    void sortByColumn(int column, Qt::SortOrder order);

    // The cells that show what changed between before and after.
    void rewriteItem(int32_t id, const AuctionItem &before, const AuctionItem &after);
    // One cell of an item as a fresh row shows it (a refused edit's cell).
    void rewriteCell(int row, int column);
    // The columns that show a setting and the figures that depend on it,
    // after one pass over the ledger that also hands each item and its
    // figures to alsoForEach.
    using EachItem = std::function<void(int32_t, const AuctionItem &, const AuctionItem::Figures &)>;
    void rewriteSetting(LedgerSetting setting, const EachItem &alsoForEach = EachItem());

    // Shows only the rows of the ids marked in shownById (by id; an id past
    // its end is not shown), or every row when it is null. A row put in
    // later shows until the next call. The current row, when it is hidden,
    // is current no more: no command reaches an item the player cannot see.
    void showOnly(const std::vector<bool> *shownById);
    bool isFiltered() const { return m_filtered; }
    // The row of id is in the table and not hidden by showOnly.
    bool isShown(int32_t id) const;

    // Closes an open cell editor without taking its text.
    void closeEditor();

    // Shows the row of item id.
    void scrollTo(int32_t id);
    // The ids of the rows shown, from the top row down.
    std::vector<int32_t> idsInRowOrder() const;
    // The same with their items.
    std::vector<std::pair<int32_t, const AuctionItem *>> itemsInRowOrder() const;
    // The id of the current row, or -1.
    int32_t currentId() const;

    // Row of item id, or -1.
    int rowOf(int32_t id) const;
    // Item id of a row, or -1.
    int32_t idAt(int row) const;
    // The id column's cell of each item, by id (null where there is none).
    const std::vector<QTableWidgetItem *> &keyCells() const { return m_keyCells; }

    // Row insertions between begin and end are laid into the table in one
    // pass that gives the same table as inserting them one at a time.
    void beginBatch();
    void endBatch();
    // Off makes every insertion take the one-row-at-a-time path (for
    // comparing the two).
    void setBatchingEnabled(bool enabled);

private:
    void insertRowsNow(const std::vector<int32_t> &idsInInsertionOrder);
    QTableWidgetItem *newCell(int32_t id, int column);
    void placeRow(int row, int32_t id);
    void remember(int32_t id, QTableWidgetItem *keyCell);
    void hideSortArrow();
    // Shows the items in this order, the top row first; false, changing
    // nothing, when they are not as many as the rows.
    bool showInOrder(const std::vector<int32_t> &idsTopDown);
    // Hides the rows of the ids not shown; every row first shows again.
    void applyShown();
    // Calls visit(row, id) for each row from the top down.
    template <typename Visit>
    void forEachRow(Visit visit) const;
    void markShown(int32_t id);
    // The view shows these cells of a row again.
    void repaintRow(int row, int firstColumn, int lastColumn);

    // The column width that shows text whole in a cell.
    int cellWidthFor(const QString &text) const;
    void growFigureColumn(int column, int width);
    // Every column made as wide as this row's cells need.
    void fitRow(int row);
    // A figure column made as wide as the figure in this cell needs.
    void fitFigure(int row, int column);
    // The figure columns made as wide as what a pass over many rows wrote.
    void fitFigures(const AuctionRows::FigureShapes &shapes);
    // After rows came in: the name column fitted anew to the rows about the
    // view, or grown to the rows in view; each figure column to its title
    // and its widest figure.
    enum class NameFit { Anew, Grow };
    void fitColumnsToNewRows(NameFit nameFit);

    MyTableWidget *m_table;
    const LedgerStore &m_store;
    CellSource m_cells;
    // The id cell of each row by item id; its row is asked of the table.
    std::vector<QTableWidgetItem *> m_keyCells;
    // By id, what showOnly lets through, while m_filtered.
    bool m_filtered = false;
    std::vector<bool> m_shownById;
    int m_batchDepth = 0;
    bool m_batchingEnabled = true;
    std::vector<int32_t> m_pending;
    // By column, the width the widest figure written since the table was
    // last emptied needs.
    std::vector<int> m_figureWidths;
};
