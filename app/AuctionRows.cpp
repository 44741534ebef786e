#include "AuctionRows.h"

#include "AuctionItem.h"
#include "ProfitMath.h"

#include <QBrush>
#include <QTableWidgetItem>


namespace AuctionRows {

QColor signColour(int64_t value)
{
    return value > 0 ? QColor(255, 0, 0, 255) : QColor(0, 0, 255, 255);
}

QString figureText(const std::optional<int64_t> &value)
{
    return value ? QString::fromLatin1(ProfitMath::formatThousands(*value)) : QString();
}

QString cellText(int column, int32_t id, const AuctionItem &item)
{
    switch (column) {
    case KeyColumn:
        return QString::number(id);
    case NameColumn:
        return QString::fromUtf8(item.name);
    case CashColumn:
        return QString::fromLatin1(ProfitMath::formatThousands(item.wonCost()));
    case MesoColumn:
        return QString::fromLatin1(ProfitMath::formatThousands(item.mesoPrice));
    case ProfitMesoColumn:
        return figureText(item.profitMeso());
    case ProfitWonColumn:
        return figureText(item.profitWon());
    case RateColumn:
        return QString::fromLatin1(ProfitMath::formatThousands(item.rate));
    case FeeColumn:
        return QString::number(item.fee);
    case MileageColumn:
        return item.isUseMileage ? QStringLiteral("O") : QStringLiteral("X");
    default:
        return QString();
    }
}

void colourProfitCell(QTableWidgetItem *cell, const std::optional<int64_t> &value)
{
    if (value)
        cell->setForeground(QBrush(signColour(*value)));
    else
        cell->setData(Qt::ForegroundRole, QVariant());
}

QTableWidgetItem *makeCell(int column, int32_t id, const AuctionItem &item)
{
    auto *cell = new QTableWidgetItem(cellText(column, id, item));
    cell->setTextAlignment(Qt::AlignCenter);
    if (column >= ProfitMesoColumn) {
        cell->setFlags((cell->flags() & ~Qt::ItemIsEditable) | Qt::ItemIsSelectable);
        if (column == ProfitMesoColumn)
            colourProfitCell(cell, item.profitMeso());
        else if (column == ProfitWonColumn)
            colourProfitCell(cell, item.profitWon());
    }
    return cell;
}

namespace {

// Beyond this many distinct texts a column stops collecting shared cells;
// a ledger of all different names gains nothing from them.
constexpr size_t sharedTextLimit = 4096;

int shadeOf(const std::optional<int64_t> &value)
{
    return !value ? 2 : (*value > 0 ? 0 : 1);
}

} // namespace

CellFactory::CellFactory()
    : m_red(signColour(1))
    , m_blue(signColour(0))
{
    // Built by the same steps as makeCell, so the cells carry their data in
    // the same order.
    for (int column = 0; column < columnCount; ++column) {
        m_blank[column].reset(new QTableWidgetItem(QString()));
        m_blank[column]->setTextAlignment(Qt::AlignCenter);
        if (column >= ProfitMesoColumn)
            m_blank[column]->setFlags((m_blank[column]->flags() & ~Qt::ItemIsEditable) | Qt::ItemIsSelectable);
    }
    for (int profit = 0; profit < 2; ++profit) {
        const int column = ProfitMesoColumn + profit;
        for (int shade = 0; shade < 3; ++shade) {
            m_profit[profit][shade].reset(new QTableWidgetItem(*m_blank[column]));
            if (shade == 2)
                m_profit[profit][shade]->setData(Qt::ForegroundRole, QVariant());
            else
                m_profit[profit][shade]->setForeground(shade == 0 ? m_red : m_blue);
        }
    }
}

CellFactory::~CellFactory()
{
    qDeleteAll(m_byName);
}

void CellFactory::makeRow(int32_t id, const AuctionItem &item, QTableWidgetItem *(&cells)[columnCount])
{
    for (int column = 0; column < columnCount; ++column)
        cells[column] = make(column, id, item);
}

QTableWidgetItem *CellFactory::make(int column, int32_t id, const AuctionItem &item)
{
    if (column == ProfitMesoColumn || column == ProfitWonColumn) {
        const std::optional<int64_t> value = column == ProfitMesoColumn ? item.profitMeso() : item.profitWon();
        auto *cell = new QTableWidgetItem(*m_profit[column - ProfitMesoColumn][shadeOf(value)]);
        cell->setText(figureText(value));
        return cell;
    }
    if (const QTableWidgetItem *shared = sharedPrototype(column, id, item))
        return new QTableWidgetItem(*shared);
    auto *cell = new QTableWidgetItem(*m_blank[column]);
    cell->setText(cellText(column, id, item));
    return cell;
}

const QTableWidgetItem *CellFactory::sharedPrototype(int column, int32_t id, const AuctionItem &item)
{
    switch (column) {
    case NameColumn:
        return sharedName(item.name);
    case CashColumn:
        return sharedByValue(column, item.wonCost(), id, item);
    case RateColumn:
        return sharedByValue(column, item.rate, id, item);
    case FeeColumn:
        return sharedByValue(column, item.fee, id, item);
    case MileageColumn:
        return sharedByValue(column, item.isUseMileage ? 1 : 0, id, item);
    default:
        // Ids, meso prices and profits are nearly all different.
        return nullptr;
    }
}

const QTableWidgetItem *CellFactory::sharedByValue(int column, int64_t value, int32_t id, const AuctionItem &item)
{
    auto &cache = m_byValue[column];
    const auto found = cache.find(value);
    if (found != cache.end())
        return found->second.get();
    if (cache.size() >= sharedTextLimit)
        return nullptr;
    auto *prototype = new QTableWidgetItem(*m_blank[column]);
    prototype->setText(cellText(column, id, item));
    cache.emplace(value, Prototype(prototype));
    return prototype;
}

const QTableWidgetItem *CellFactory::sharedName(const QByteArray &name)
{
    if (const QTableWidgetItem *prototype = m_byName.value(name))
        return prototype;
    if (static_cast<size_t>(m_byName.size()) >= sharedTextLimit)
        return nullptr;
    auto *prototype = new QTableWidgetItem(*m_blank[NameColumn]);
    prototype->setText(QString::fromUtf8(name));
    m_byName.insert(name, prototype);
    return prototype;
}

} // namespace AuctionRows
