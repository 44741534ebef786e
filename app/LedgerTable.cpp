#include "LedgerTable.h"

#include "AuctionItem.h"
#include "AuctionRows.h"
#include "HeaderSort.h"
#include "LedgerCell.h"
#include "LedgerStore.h"
#include "MyTableWidget.h"
#include "Prefetch.h"
#include "ProfitMath.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStandardItemModel>
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

bool isFigureColumn(int column)
{
    return column >= CashColumn && column < columnCount;
}

} // namespace

LedgerTable::LedgerTable(MyTableWidget *table, const LedgerStore &store)
    : m_table(table)
    , m_store(store)
    , m_cells(store)
    , m_figureWidths(columnCount, 0)
{
}

LedgerTable::~LedgerTable()
{
    // The cells read from what this table holds: they go first.
    TableWriteGuard guard(m_table);
    m_table->setRowCount(0);
}

QTableWidgetItem *LedgerTable::newCell(int32_t id, int column)
{
    return new LedgerCell(m_cells, id, column);
}

void LedgerTable::repaintRow(int row, int firstColumn, int lastColumn)
{
    QAbstractItemModel *model = m_table->model();
    emit model->dataChanged(model->index(row, firstColumn), model->index(row, lastColumn));
}

void LedgerTable::fitColumnsToNewRows(NameFit nameFit)
{
    // The name column to the rows in view and around them; each figure
    // column to its widest figure and its title, whatever rows are in view.
    QHeaderView *header = m_table->horizontalHeader();
    if (m_table->isColumnHidden(NameColumn)) {
        // Nothing of the names is shown.
    } else if (nameFit == NameFit::Anew) {
        m_table->resizeColumnToContents(NameColumn);
    } else {
        // Only the names in view are measured, so that one new row costs
        // what the view shows; the column keeps what it had, so that the
        // names out of view stay whole.
        const int precision = header->resizeContentsPrecision();
        header->setResizeContentsPrecision(0);
        const QAbstractItemView *view = m_table;
        const int needed = std::max(view->sizeHintForColumn(NameColumn), header->sectionSizeHint(NameColumn));
        header->setResizeContentsPrecision(precision);
        if (needed > m_table->columnWidth(NameColumn))
            m_table->setColumnWidth(NameColumn, needed);
    }
    for (int column = CashColumn; column < columnCount; ++column) {
        const int width = std::max(header->sectionSizeHint(column), m_figureWidths[static_cast<size_t>(column)]);
        if (m_table->columnWidth(column) != width)
            m_table->setColumnWidth(column, width);
    }
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
    return LedgerCell::idOf(m_table->item(row, KeyColumn));
}

void LedgerTable::insertRow(int32_t id)
{
    if (m_batchDepth > 0 && m_batchingEnabled) {
        m_pending.push_back(id);
        return;
    }
    placeRow(0, id);
    for (int column = CashColumn; column < columnCount; ++column)
        fitFigure(0, column);
    // The first row of an empty table fits the name column anew.
    fitColumnsToNewRows(m_table->rowCount() == 1 ? NameFit::Anew : NameFit::Grow);
}

void LedgerTable::insertRowAt(int row, int32_t id)
{
    row = std::max(0, std::min(row, m_table->rowCount()));
    placeRow(row, id);
    fitRow(row);
}

void LedgerTable::fitRow(int row)
{
    // Measuring the columns over every row would cost a whole table's layout.
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

void LedgerTable::placeRow(int row, int32_t id)
{
    TableWriteGuard guard(m_table);
    m_table->insertRow(row);
    m_cells.rowLaidAnew(id);
    markShown(id);
    for (int column = 0; column < columnCount; ++column) {
        QTableWidgetItem *cell = newCell(id, column);
        m_table->setItem(row, column, cell);
        if (column == KeyColumn)
            remember(id, cell);
    }
}

void LedgerTable::removeRowOf(int32_t id)
{
    const int row = rowOf(id);
    remember(id, nullptr);
    // An item that comes back comes back in a fresh row.
    if (m_cells.highlightedId == id)
        m_cells.highlightedId = -1;
    if (row < 0)
        return;
    {
        TableWriteGuard guard(m_table);
        m_table->removeRow(row);
    }
    // An empty table is in no order; what comes in next is not sorted.
    if (m_table->rowCount() == 0)
        hideSortArrow();
    // The rows are laid out now: left to the view's own timer, that comes
    // after the next paint and paints the table a second time.
    m_table->doItemsLayout();
}

void LedgerTable::clear()
{
    std::fill(m_figureWidths.begin(), m_figureWidths.end(), 0);
    m_keyCells.clear();
    m_pending.clear();
    hideSortArrow();
    TableWriteGuard guard(m_table);
    m_table->setRowCount(0);
    m_cells.clear();
    m_filtered = false;
    m_shownById.clear();
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
    const int count = static_cast<int>(idsInInsertionOrder.size());
    TableWriteGuard guard(m_table);
    QAbstractItemModel *model = m_table->model();
    model->insertRows(0, count);
    FigureShapes shapes;
    {
        // Each new cell would announce itself to the view; the view learns
        // of them all at once below.
        QSignalBlocker modelBlocker(model);
        for (int j = 0; j < count; ++j) {
            const int32_t id = idsInInsertionOrder[static_cast<size_t>(j)];
            const AuctionItem *item = m_store.findItem(id);
            if (!item)
                continue;
            // The last one inserted ends on top, as with one insertion at a time.
            const int row = count - 1 - j;
            m_cells.rowLaidAnew(id);
            for (int column = 0; column < columnCount; ++column) {
                QTableWidgetItem *cell = newCell(id, column);
                m_table->setItem(row, column, cell);
                if (column == KeyColumn)
                    remember(id, cell);
            }
            shapes.addRow(*item, item->figures());
        }
    }
    emit model->dataChanged(model->index(0, 0), model->index(count - 1, columnCount - 1));
    fitFigures(shapes);
    fitColumnsToNewRows(NameFit::Anew);
}

void LedgerTable::rebuild(const std::vector<int32_t> &idsInInsertionOrder)
{
    const std::vector<int32_t> idsTopDown(idsInInsertionOrder.rbegin(), idsInInsertionOrder.rend());
    // The rows of these very items are laid anew where they stand: each row
    // takes the item of its new place, as fresh as a row put in.
    if (static_cast<int>(idsTopDown.size()) != m_table->rowCount() || !showInOrder(idsTopDown)) {
        clear();
        beginBatch();
        for (int32_t id : idsInInsertionOrder)
            insertRow(id);
        endBatch();
        return;
    }
    hideSortArrow();
    m_cells.highlightedId = -1;
    m_cells.dropTyped();
    m_cells.allRowsLaidAnew();
    m_table->setCurrentIndex(QModelIndex());
    m_table->clearSelection();
    m_table->scrollToTop();
    // The columns start again from what the rows now show.
    std::fill(m_figureWidths.begin(), m_figureWidths.end(), 0);
    FigureShapes shapes;
    for (const auto &entry : m_store.items())
        shapes.addRow(entry.second, entry.second.figures());
    fitFigures(shapes);
    fitColumnsToNewRows(NameFit::Anew);
}

void LedgerTable::sortByColumn(int column, Qt::SortOrder order)
{
    if (m_table->rowCount() == 0 || column <= KeyColumn || column >= columnCount) {
        hideSortArrow();
        return;
    }
    const int32_t currentId = this->currentId();
    const int currentColumn = m_table->currentColumn();
    if (!showInOrder(HeaderSort::idsInOrder(m_store.items(), column, order)))
        return;
    m_table->horizontalHeader()->setSortIndicator(column, order);
    // The item that was current stays current in its new row.
    const int currentRow = rowOf(currentId);
    if (currentRow >= 0)
        m_table->setCurrentCell(currentRow, currentColumn);
}

bool LedgerTable::showInOrder(const std::vector<int32_t> &idsTopDown)
{
    const int rows = m_table->rowCount();
    if (static_cast<int>(idsTopDown.size()) != rows)
        return false;
    // Every row takes the item of its new place; the cells stay where they
    // are, so the table neither takes nor puts a single one.
    TableWriteGuard guard(m_table);
    for (int row = 0; row < rows; ++row) {
        const int32_t id = idsTopDown[static_cast<size_t>(row)];
        for (int column = 0; column < columnCount; ++column) {
            QTableWidgetItem *cell = m_table->item(row, column);
            if (cell && cell->type() == LedgerCell::Type)
                static_cast<LedgerCell *>(cell)->setId(id);
            if (column == KeyColumn)
                remember(id, cell);
        }
    }
    QAbstractItemModel *model = m_table->model();
    if (rows > 0)
        emit model->dataChanged(model->index(0, 0), model->index(rows - 1, columnCount - 1));
    // The rows hidden are those of the items hidden, wherever they now stand.
    if (m_filtered)
        applyShown();
    return true;
}

void LedgerTable::highlightTopRow()
{
    if (m_table->rowCount() == 0)
        return;
    m_cells.highlightedId = idAt(0);
    TableWriteGuard guard(m_table);
    repaintRow(0, NameColumn, columnCount - 1);
}

void LedgerTable::rewriteItem(int32_t id, const AuctionItem &before, const AuctionItem &after)
{
    m_cells.dropTyped();
    const int row = rowOf(id);
    if (row < 0)
        return;
    const bool cashChanged = before.cashPrice != after.cashPrice || before.isUseMileage != after.isUseMileage;
    // A won paid that changed is written with separators again.
    if (cashChanged)
        m_cells.rowLaidAnew(id);
    TableWriteGuard guard(m_table);
    repaintRow(row, NameColumn, columnCount - 1);
    if (cashChanged)
        fitFigure(row, CashColumn);
    if (before.mesoPrice != after.mesoPrice)
        fitFigure(row, MesoColumn);
    if (cashChanged || before.mesoPrice != after.mesoPrice) {
        fitFigure(row, ProfitMesoColumn);
        fitFigure(row, ProfitWonColumn);
    }
}

void LedgerTable::rewriteCell(int row, int column)
{
    m_cells.dropTyped();
    const int32_t id = idAt(row);
    if (!m_store.findItem(id))
        return;
    if (column == CashColumn)
        m_cells.rowLaidAnew(id);
    TableWriteGuard guard(m_table);
    repaintRow(row, column, column);
    fitFigure(row, column);
}

void LedgerTable::rewriteSetting(LedgerSetting setting, const EachItem &alsoForEach)
{
    // One pass over the ledger: the figures the setting moved, for the
    // columns to fit them, and for whoever else needs every item's figures.
    FigureShapes shapes;
    int firstColumn = ProfitMesoColumn;
    int lastColumn = ProfitWonColumn;
    switch (setting) {
    case LedgerSetting::Rate:
        shapes.add(RateColumn, m_store.rate);
        lastColumn = RateColumn;
        break;
    case LedgerSetting::Fee:
        shapes.add(FeeColumn, m_store.fee, false);
        lastColumn = FeeColumn;
        break;
    case LedgerSetting::Discount:
        firstColumn = CashColumn;
        m_cells.cashShownPlain();
        break;
    }
    for (const auto &entry : m_store.items()) {
        const AuctionItem::Figures figures = entry.second.figures();
        if (alsoForEach)
            alsoForEach(entry.first, entry.second, figures);
        if (setting == LedgerSetting::Discount)
            shapes.add(CashColumn, figures.wonCost, false);
        if (figures.profitMeso)
            shapes.add(ProfitMesoColumn, *figures.profitMeso);
        if (figures.profitWon)
            shapes.add(ProfitWonColumn, *figures.profitWon);
    }
    const int rows = m_table->rowCount();
    if (rows == 0)
        return;
    {
        TableWriteGuard guard(m_table);
        QAbstractItemModel *model = m_table->model();
        emit model->dataChanged(model->index(0, firstColumn), model->index(rows - 1, lastColumn));
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

template <typename Visit>
void LedgerTable::forEachRow(Visit visit) const
{
    const int rows = m_table->rowCount();
    for (int row = 0; row < rows; ++row) {
        // A row's key cell, made wherever the heap had room, is asked for
        // well before its turn.
        if (row + 16 < rows)
            prefetchBytes(m_table->item(row + 16, KeyColumn), sizeof(LedgerCell));
        visit(row, idAt(row));
    }
}

std::vector<int32_t> LedgerTable::idsInRowOrder() const
{
    std::vector<int32_t> ids;
    ids.reserve(static_cast<size_t>(m_table->rowCount()));
    forEachRow([&](int row, int32_t id) {
        if (!m_filtered || !m_table->isRowHidden(row))
            ids.push_back(id);
    });
    return ids;
}

std::vector<std::pair<int32_t, const AuctionItem *>> LedgerTable::itemsInRowOrder() const
{
    std::vector<std::pair<int32_t, const AuctionItem *>> rows;
    rows.reserve(static_cast<size_t>(m_table->rowCount()));
    for (const int32_t id : idsInRowOrder())
        if (const AuctionItem *item = m_store.findItem(id))
            rows.emplace_back(id, item);
    return rows;
}

void LedgerTable::showOnly(const std::vector<bool> *shownById)
{
    m_filtered = shownById != nullptr;
    m_shownById = shownById ? *shownById : std::vector<bool>();
    applyShown();
}

void LedgerTable::markShown(int32_t id)
{
    if (!m_filtered || id < 0)
        return;
    const auto index = static_cast<size_t>(id);
    if (index >= m_shownById.size())
        m_shownById.resize(index + 1, false);
    m_shownById[index] = true;
}

bool LedgerTable::isShown(int32_t id) const
{
    if (id < 0 || static_cast<size_t>(id) >= m_keyCells.size() || !m_keyCells[static_cast<size_t>(id)])
        return false;
    return !m_filtered || (static_cast<size_t>(id) < m_shownById.size() && m_shownById[static_cast<size_t>(id)]);
}

void LedgerTable::applyShown()
{
    QHeaderView *rowHeader = m_table->verticalHeader();
    TableWriteGuard guard(m_table);
    // Showing a hidden row again lays out every row below it; a header that
    // forgets its sections shows them all at once. It takes the table's
    // model and selection back at once.
    {
        QStandardItemModel noRows;
        QAbstractItemModel *model = m_table->model();
        rowHeader->setModel(&noRows);
        rowHeader->setModel(model);
        rowHeader->setSelectionModel(m_table->selectionModel());
    }
    if (!m_filtered)
        return;
    forEachRow([this](int row, int32_t id) {
        if (id < 0 || static_cast<size_t>(id) >= m_shownById.size() || !m_shownById[static_cast<size_t>(id)])
            m_table->setRowHidden(row, true);
    });
    const int current = m_table->currentRow();
    if (current >= 0 && m_table->isRowHidden(current)) {
        m_table->setCurrentIndex(QModelIndex());
        m_table->clearSelection();
    }
}

int32_t LedgerTable::currentId() const
{
    const int row = m_table->currentRow();
    return row < 0 ? -1 : idAt(row);
}
