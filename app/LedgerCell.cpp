#include "LedgerCell.h"

#include "AuctionItem.h"
#include "AuctionRows.h"
#include "LedgerStore.h"

#include <QTableWidget>

#include <algorithm>

using namespace AuctionRows;

CellSource::CellSource(const LedgerStore &store)
    : red(signColour(1))
    , blue(signColour(0))
    , yellow(QColor(255, 255, 0, 255))
    , m_store(&store)
{
}

const AuctionItem *CellSource::item(int32_t id) const
{
    // The window takes the ledger down before its table.
    if (!LedgerStore::exists() || &LedgerStore::instance() != m_store)
        return nullptr;
    return m_store->findItem(id);
}

void CellSource::rowLaidAnew(int32_t id)
{
    if (id < 0)
        return;
    const auto index = static_cast<size_t>(id);
    if (index >= m_laidAt.size())
        m_laidAt.resize(std::max(index + 1, m_laidAt.size() * 2), 0);
    m_laidAt[index] = m_now;
}

void CellSource::allRowsLaidAnew()
{
    m_rebuiltAt = ++m_now;
}

void CellSource::cashShownPlain()
{
    m_plainSince = ++m_now;
}

bool CellSource::isCashPlain(int32_t id) const
{
    const uint32_t laid = id >= 0 && static_cast<size_t>(id) < m_laidAt.size() ? m_laidAt[static_cast<size_t>(id)] : 0;
    return std::max(laid, m_rebuiltAt) < m_plainSince;
}

void CellSource::clear()
{
    m_laidAt.clear();
    highlightedId = -1;
    dropTyped();
    allRowsLaidAnew();
}

void CellSource::dropTyped()
{
    typedCell = nullptr;
    typedText.clear();
}

LedgerCell::LedgerCell(CellSource &source, int32_t id, int column)
    : QTableWidgetItem(Type)
    , m_source(&source)
    , m_id(id)
    , m_column(column)
{
    if (column >= ProfitMesoColumn)
        setFlags((flags() & ~Qt::ItemIsEditable) | Qt::ItemIsSelectable);
}

int32_t LedgerCell::idOf(const QTableWidgetItem *cell)
{
    return cell && cell->type() == Type ? static_cast<const LedgerCell *>(cell)->m_id : -1;
}

QModelIndex LedgerCell::indexIn(const QTableWidget *table, const QTableWidgetItem *cell)
{
    const QModelIndex current = table->currentIndex();
    if (current.isValid() && table->item(current.row(), current.column()) == cell)
        return current;
    return table->model()->index(table->row(cell), table->column(cell));
}

QString LedgerCell::shownText() const
{
    if (m_source->typedCell == this)
        return m_source->typedText;
    if (m_column == KeyColumn)
        return QString::number(m_id);
    const AuctionItem *item = m_source->item(m_id);
    if (!item)
        return QString();
    // Plain digits after a discount change, as that command has always
    // shown them, until the row is laid anew.
    if (m_column == CashColumn && m_source->isCashPlain(m_id))
        return QString::number(item->wonCost());
    return cellText(m_column, m_id, *item);
}

QVariant LedgerCell::data(int role) const
{
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return shownText();
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::ForegroundRole: {
        if (m_column != ProfitMesoColumn && m_column != ProfitWonColumn)
            break;
        const AuctionItem *item = m_source->item(m_id);
        const std::optional<int64_t> profit
            = !item ? std::nullopt : (m_column == ProfitMesoColumn ? item->profitMeso() : item->profitWon());
        // An undefined figure has no colour, so it never reads as a profit or a loss.
        if (!profit)
            return QVariant();
        return QVariant::fromValue(*profit > 0 ? m_source->red : m_source->blue);
    }
    case Qt::BackgroundRole:
        if (m_column != KeyColumn && m_id == m_source->highlightedId && m_id >= 0)
            return QVariant::fromValue(m_source->yellow);
        break;
    default:
        break;
    }
    return QTableWidgetItem::data(role);
}

void LedgerCell::setData(int role, const QVariant &value)
{
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        QTableWidgetItem::setData(role, value);
        return;
    }
    QTableWidget *table = tableWidget();
    const QString typed = value.toString();
    if (!table || typed == shownText())
        return;
    // The cell-edit handler reads the typed text from the cell while the
    // table tells of it; after that the cell shows its item again, as the
    // ledger took the edit or kept the old value.
    CellSource *source = m_source;
    source->typedCell = this;
    source->typedText = typed;
    const QModelIndex index = indexIn(table, this);
    emit table->model()->dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    if (source->typedCell == this)
        source->dropTyped();
}
