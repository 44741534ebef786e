#include "LedgerTable.h"

#include "AuctionItem.h"
#include "AuctionRows.h"
#include "HeaderSort.h"
#include "LedgerStore.h"
#include "MyTableWidget.h"
#include "ProfitMath.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <cassert>
#include <cmath>

using namespace AuctionRows;

namespace {

// Holds back the table's own signals and repaints while the program writes
// cells, so that no write of ours ever reaches the cell-edit handler.
class TableWriteGuard
{
public:
    explicit TableWriteGuard(QTableWidget *table)
        : m_table(table)
        , m_blocker(table)
        , m_updatesWereEnabled(table->updatesEnabled())
    {
        if (m_updatesWereEnabled)
            m_table->setUpdatesEnabled(false);
    }
    ~TableWriteGuard()
    {
        if (m_updatesWereEnabled)
            m_table->setUpdatesEnabled(true);
    }

private:
    QTableWidget *m_table;
    QSignalBlocker m_blocker;
    bool m_updatesWereEnabled;
};

// A command that rewrites some columns of every row: the view hears of the
// whole block of cells once, when the rewrite ends, instead of once per cell.
class ColumnRewrite
{
public:
    ColumnRewrite(QTableWidget *table, int firstColumn, int lastColumn)
        : m_guard(table)
        , m_model(table->model())
        , m_modelBlocker(m_model)
        , m_firstColumn(firstColumn)
        , m_lastColumn(lastColumn)
    {
    }
    ~ColumnRewrite()
    {
        m_modelBlocker.unblock();
        const int rows = m_model->rowCount();
        if (rows > 0)
            emit m_model->dataChanged(m_model->index(0, m_firstColumn), m_model->index(rows - 1, m_lastColumn));
    }

private:
    TableWriteGuard m_guard;
    QAbstractItemModel *m_model;
    QSignalBlocker m_modelBlocker;
    int m_firstColumn;
    int m_lastColumn;
};

// The store's items by id for a pass over many rows in any order: one
// array step each instead of a walk down the map, which in a sorted order
// would touch scattered memory at every level.
class ItemLookup
{
public:
    explicit ItemLookup(const LedgerStore &store)
        : m_store(store)
    {
        const LedgerStore::ItemMap &items = store.items();
        if (items.empty() || items.begin()->first < 0)
            return;
        const int64_t largestId = items.rbegin()->first;
        // Ids are handed out one after another; only a ledger thinned out by
        // many deletions is left to the map.
        if (largestId > 4 * static_cast<int64_t>(items.size()) + 1024)
            return;
        m_byId.assign(static_cast<size_t>(largestId) + 1, nullptr);
        for (const auto &entry : items)
            m_byId[static_cast<size_t>(entry.first)] = &entry.second;
    }

    const AuctionItem *find(int32_t id) const
    {
        if (m_byId.empty())
            return m_store.findItem(id);
        return id >= 0 && static_cast<size_t>(id) < m_byId.size() ? m_byId[static_cast<size_t>(id)] : nullptr;
    }

private:
    const LedgerStore &m_store;
    std::vector<const AuctionItem *> m_byId;
};

void setCellText(QTableWidget *table, int row, int column, const QString &text)
{
    if (QTableWidgetItem *cell = table->item(row, column))
        cell->setText(text);
}

// Both profit cells of a row, with their texts and sign colours: a profit
// cell never shows a new figure in the colour of an old one.
void rewriteProfitCells(QTableWidget *table, int row, const AuctionItem &item, FigureShapes *shapes = nullptr)
{
    const std::optional<int64_t> profits[] = {item.profitMeso(), item.profitWon()};
    const int columns[] = {ProfitMesoColumn, ProfitWonColumn};
    for (int i = 0; i < 2; ++i) {
        if (QTableWidgetItem *cell = table->item(row, columns[i])) {
            cell->setText(figureText(profits[i]));
            colourProfitCell(cell, profits[i]);
        }
        if (shapes && profits[i])
            shapes->add(columns[i], *profits[i]);
    }
}

bool isFigureColumn(int column)
{
    return column >= CashColumn && column < columnCount;
}

} // namespace

LedgerTable::LedgerTable(MyTableWidget *table, const LedgerStore &store)
    : m_table(table)
    , m_store(store)
    , m_figureWidths(columnCount, 0)
{
}

int LedgerTable::cellWidthFor(const QString &text) const
{
    // As the item delegate measures a cell: its text laid out in one line
    // (which also makes room for a last glyph that reaches past its
    // advance), between two margins of the style's focus frame and a pixel
    // each. The grid line takes one pixel of the column.
    QTextLayout layout(text, m_table->font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    qreal textWidth = 0;
    if (line.isValid()) {
        line.setLineWidth(1e7);
        textWidth = line.naturalTextWidth();
    }
    layout.endLayout();
    const int margin = m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 1;
    const int grid = m_table->showGrid() ? 1 : 0;
    return int(std::ceil(textWidth)) + 2 * margin + grid;
}

void LedgerTable::growFigureColumn(int column, int width)
{
    int &needed = m_figureWidths[static_cast<size_t>(column)];
    needed = std::max(needed, width);
    if (m_table->columnWidth(column) < needed)
        m_table->setColumnWidth(column, needed);
}

void LedgerTable::fitFigure(int row, int column)
{
    if (!isFigureColumn(column))
        return;
    if (const QTableWidgetItem *cell = m_table->item(row, column))
        growFigureColumn(column, cellWidthFor(cell->text()));
}

void LedgerTable::fitFigures(const FigureShapes &shapes)
{
    const QFontMetricsF metrics(m_table->font());
    QChar widestDigit = QLatin1Char('0');
    for (char digit = '1'; digit <= '9'; ++digit)
        if (metrics.horizontalAdvance(QLatin1Char(digit)) > metrics.horizontalAdvance(widestDigit))
            widestDigit = QLatin1Char(digit);
    for (int column = CashColumn; column < columnCount; ++column)
        for (const QString &text : shapes.widestTexts(column, widestDigit))
            growFigureColumn(column, cellWidthFor(text));
}

void LedgerTable::keepFigureWidths()
{
    for (int column = CashColumn; column < columnCount; ++column)
        growFigureColumn(column, 0);
}

void LedgerTable::remember(int32_t id, QTableWidgetItem *keyCell)
{
    if (id < 0)
        return;
    const auto index = static_cast<size_t>(id);
    if (index >= m_keyCells.size())
        m_keyCells.resize(std::max(index + 1, m_keyCells.size() * 2), nullptr);
    m_keyCells[index] = keyCell;
}

int LedgerTable::rowOf(int32_t id) const
{
    if (id < 0 || static_cast<size_t>(id) >= m_keyCells.size() || !m_keyCells[static_cast<size_t>(id)])
        return -1;
    QTableWidgetItem *keyCell = m_keyCells[static_cast<size_t>(id)];
    // The player deletes and edits the row they are on; asking the table
    // for any other row may make it search its cells.
    const int current = m_table->currentRow();
    if (current >= 0 && m_table->item(current, KeyColumn) == keyCell)
        return current;
    return m_table->row(keyCell);
}

int32_t LedgerTable::idAt(int row) const
{
    const QTableWidgetItem *cell = m_table->item(row, KeyColumn);
    return cell ? cell->text().toInt() : -1;
}

void LedgerTable::insertRow(int32_t id, const AuctionItem &item)
{
    if (m_batchDepth > 0 && m_batchingEnabled) {
        m_pending.push_back(id);
        return;
    }
    placeRow(0, id, item);
    // Fitted to the rows around the ones in view; a figure further away
    // may need more.
    m_table->resizeColumnsToContents();
    keepFigureWidths();
    for (int column = CashColumn; column < columnCount; ++column)
        fitFigure(0, column);
}

void LedgerTable::insertRowAt(int row, int32_t id, const AuctionItem &item)
{
    row = std::max(0, std::min(row, m_table->rowCount()));
    placeRow(row, id, item);
    // A row that comes back only needs its own cells to fit: measuring the
    // columns over every row would cost a whole table's layout.
    const int grid = m_table->showGrid() ? 1 : 0;
    for (int column = 0; column < columnCount; ++column) {
        if (isFigureColumn(column)) {
            fitFigure(row, column);
            continue;
        }
        if (m_table->isColumnHidden(column))
            continue;
        const int needed = m_table->sizeHintForIndex(m_table->model()->index(row, column)).width() + grid;
        if (needed > m_table->columnWidth(column))
            m_table->setColumnWidth(column, needed);
    }
}

void LedgerTable::placeRow(int row, int32_t id, const AuctionItem &item)
{
    TableWriteGuard guard(m_table);
    m_table->insertRow(row);
    for (int column = 0; column < columnCount; ++column) {
        QTableWidgetItem *cell = makeCell(column, id, item);
        m_table->setItem(row, column, cell);
        if (column == KeyColumn)
            remember(id, cell);
    }
}

void LedgerTable::removeRowOf(int32_t id)
{
    const int row = rowOf(id);
    remember(id, nullptr);
    if (row < 0)
        return;
    TableWriteGuard guard(m_table);
    m_table->removeRow(row);
    // An empty table is in no order; what comes in next is not sorted.
    if (m_table->rowCount() == 0)
        hideSortArrow();
}

void LedgerTable::clear()
{
    std::fill(m_figureWidths.begin(), m_figureWidths.end(), 0);
    m_keyCells.clear();
    m_pending.clear();
    hideSortArrow();
    TableWriteGuard guard(m_table);
    m_table->setRowCount(0);
}

void LedgerTable::hideSortArrow()
{
    QHeaderView *header = m_table->horizontalHeader();
    header->setSortIndicator(-1, header->sortIndicatorOrder());
}

void LedgerTable::beginBatch()
{
    ++m_batchDepth;
}

void LedgerTable::endBatch()
{
    if (m_batchDepth == 0)
        return;
    if (--m_batchDepth > 0)
        return;
    std::vector<int32_t> ids;
    ids.swap(m_pending);
    if (!ids.empty())
        insertRowsNow(ids);
}

void LedgerTable::setBatchingEnabled(bool enabled)
{
    m_batchingEnabled = enabled;
}

void LedgerTable::insertRowsNow(const std::vector<int32_t> &idsInInsertionOrder)
{
    const ItemLookup items(m_store);
    const int count = static_cast<int>(idsInInsertionOrder.size());
    TableWriteGuard guard(m_table);
    QAbstractItemModel *model = m_table->model();
    model->insertRows(0, count);
    FigureShapes shapes;
    {
        // Each new cell would announce itself to the view; the view learns
        // of them all at once below.
        QSignalBlocker modelBlocker(model);
        CellFactory cells(&shapes);
        QTableWidgetItem *rowCells[columnCount];
        for (int j = 0; j < count; ++j) {
            const int32_t id = idsInInsertionOrder[static_cast<size_t>(j)];
            const AuctionItem *item = items.find(id);
            if (!item)
                continue;
            // The last one inserted ends on top, as with one insertion at a time.
            const int row = count - 1 - j;
            cells.makeRow(id, *item, rowCells);
            for (int column = 0; column < columnCount; ++column)
                m_table->setItem(row, column, rowCells[column]);
            remember(id, rowCells[KeyColumn]);
        }
    }
    emit model->dataChanged(model->index(0, 0), model->index(count - 1, columnCount - 1));
    // Fitted to at most a thousand rows (those in view and around them);
    // the figures of all the rows are fitted by their shapes.
    m_table->resizeColumnsToContents();
    keepFigureWidths();
    fitFigures(shapes);
}

void LedgerTable::rebuild(const std::vector<int32_t> &idsInInsertionOrder)
{
    clear();
    beginBatch();
    const ItemLookup items(m_store);
    for (int32_t id : idsInInsertionOrder) {
        const AuctionItem *item = items.find(id);
        assert(item);
        insertRow(id, *item);
    }
    endBatch();
}

void LedgerTable::sortByColumn(int column, Qt::SortOrder order)
{
    if (m_table->rowCount() == 0 || column <= KeyColumn || column >= columnCount) {
        hideSortArrow();
        return;
    }
    moveRows(HeaderSort::idsInOrder(m_store.items(), column, order));
    m_table->horizontalHeader()->setSortIndicator(column, order);
}

void LedgerTable::moveRows(const std::vector<int32_t> &idsTopDown)
{
    const int rows = m_table->rowCount();
    const int32_t currentId = this->currentId();
    const int currentColumn = m_table->currentColumn();

    // The row each item is in now, and the rows now in their new order;
    // a row whose item the order leaves out would keep its place after them.
    std::vector<int> rowNow(m_keyCells.size(), -1);
    for (int row = 0; row < rows; ++row) {
        const int32_t id = idAt(row);
        if (id >= 0 && static_cast<size_t>(id) < rowNow.size())
            rowNow[static_cast<size_t>(id)] = row;
    }
    std::vector<int> fromRow;
    fromRow.reserve(static_cast<size_t>(rows));
    std::vector<bool> moved(static_cast<size_t>(rows), false);
    for (const int32_t id : idsTopDown) {
        const int row = id >= 0 && static_cast<size_t>(id) < rowNow.size() ? rowNow[static_cast<size_t>(id)] : -1;
        if (row >= 0 && !moved[static_cast<size_t>(row)]) {
            moved[static_cast<size_t>(row)] = true;
            fromRow.push_back(row);
        }
    }
    for (int row = 0; row < rows; ++row)
        if (!moved[static_cast<size_t>(row)])
            fromRow.push_back(row);

    {
        // The cells move as they are: taken out of every row, then put in
        // their new rows, which also tells each cell where it now is.
        TableWriteGuard guard(m_table);
        QAbstractItemModel *model = m_table->model();
        {
            QSignalBlocker modelBlocker(model);
            std::vector<QTableWidgetItem *> cells(static_cast<size_t>(rows) * columnCount);
            for (int row = 0; row < rows; ++row)
                for (int column = 0; column < columnCount; ++column)
                    cells[static_cast<size_t>(row) * columnCount + column] = m_table->takeItem(row, column);
            for (int row = 0; row < rows; ++row) {
                const size_t from = static_cast<size_t>(fromRow[static_cast<size_t>(row)]) * columnCount;
                for (int column = 0; column < columnCount; ++column)
                    m_table->setItem(row, column, cells[from + column]);
            }
        }
        emit model->dataChanged(model->index(0, 0), model->index(rows - 1, columnCount - 1));
    }
    // The item that was current stays current in its new row.
    const int currentRow = rowOf(currentId);
    if (currentRow >= 0)
        m_table->setCurrentCell(currentRow, currentColumn);
}

void LedgerTable::highlightTopRow()
{
    if (m_table->rowCount() == 0)
        return;
    TableWriteGuard guard(m_table);
    for (int column = 1; column < m_table->columnCount(); ++column)
        if (QTableWidgetItem *cell = m_table->item(0, column))
            cell->setBackground(QBrush(QColor(255, 255, 0, 255)));
}

void LedgerTable::rewriteItem(int32_t id, const AuctionItem &before, const AuctionItem &after)
{
    const int row = rowOf(id);
    if (row < 0)
        return;
    TableWriteGuard guard(m_table);
    if (before.name != after.name)
        setCellText(m_table, row, NameColumn, cellText(NameColumn, id, after));
    if (before.cashPrice != after.cashPrice || before.isUseMileage != after.isUseMileage) {
        setCellText(m_table, row, CashColumn, cellText(CashColumn, id, after));
        fitFigure(row, CashColumn);
    }
    if (before.mesoPrice != after.mesoPrice) {
        setCellText(m_table, row, MesoColumn, cellText(MesoColumn, id, after));
        fitFigure(row, MesoColumn);
    }
    if (before.cashPrice != after.cashPrice || before.mesoPrice != after.mesoPrice
        || before.isUseMileage != after.isUseMileage) {
        rewriteProfitCells(m_table, row, after);
        fitFigure(row, ProfitMesoColumn);
        fitFigure(row, ProfitWonColumn);
    }
}

void LedgerTable::rewriteCell(int row, int column)
{
    const int32_t id = idAt(row);
    const AuctionItem *item = m_store.findItem(id);
    if (!item)
        return;
    TableWriteGuard guard(m_table);
    setCellText(m_table, row, column, cellText(column, id, *item));
    fitFigure(row, column);
}

void LedgerTable::rewriteSetting(LedgerSetting setting)
{
    const int rows = m_table->rowCount();
    if (rows == 0)
        return;
    const ItemLookup items(m_store);
    // Every figure the rewrite writes, for the columns to fit them.
    FigureShapes shapes;
    switch (setting) {
    case LedgerSetting::Rate: {
        const QString rateText = QString::fromLatin1(ProfitMath::formatThousands(m_store.rate));
        shapes.add(RateColumn, m_store.rate);
        ColumnRewrite rewrite(m_table, ProfitMesoColumn, RateColumn);
        for (int row = 0; row < rows; ++row) {
            if (const AuctionItem *item = items.find(idAt(row))) {
                setCellText(m_table, row, RateColumn, rateText);
                rewriteProfitCells(m_table, row, *item, &shapes);
            }
        }
        break;
    }
    case LedgerSetting::Fee: {
        const QString feeText = QString::number(m_store.fee);
        shapes.add(FeeColumn, m_store.fee, false);
        ColumnRewrite rewrite(m_table, ProfitMesoColumn, FeeColumn);
        for (int row = 0; row < rows; ++row) {
            if (const AuctionItem *item = items.find(idAt(row))) {
                rewriteProfitCells(m_table, row, *item, &shapes);
                setCellText(m_table, row, FeeColumn, feeText);
            }
        }
        break;
    }
    case LedgerSetting::Discount: {
        ColumnRewrite rewrite(m_table, CashColumn, ProfitWonColumn);
        for (int row = 0; row < rows; ++row) {
            if (const AuctionItem *item = items.find(idAt(row))) {
                // Plain digits here, as this command has always shown them,
                // until the row is rebuilt by a sort or an edit.
                const int32_t wonCost = item->wonCost();
                setCellText(m_table, row, CashColumn, QString::number(wonCost));
                shapes.add(CashColumn, wonCost, false);
                rewriteProfitCells(m_table, row, *item, &shapes);
            }
        }
        break;
    }
    }
    fitFigures(shapes);
}

void LedgerTable::closeEditor()
{
    m_table->cancelEditing();
}

void LedgerTable::scrollTo(int32_t id)
{
    const int row = rowOf(id);
    if (row >= 0)
        m_table->scrollToItem(m_table->item(row, NameColumn));
}

std::vector<int32_t> LedgerTable::idsInRowOrder() const
{
    std::vector<int32_t> ids;
    ids.reserve(static_cast<size_t>(m_table->rowCount()));
    for (int row = 0; row < m_table->rowCount(); ++row)
        ids.push_back(idAt(row));
    return ids;
}

int32_t LedgerTable::currentId() const
{
    const int row = m_table->currentRow();
    return row < 0 ? -1 : idAt(row);
}
