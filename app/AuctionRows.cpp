#include "AuctionRows.h"

#include "AuctionItem.h"
#include "ProfitMath.h"

#include <QBrush>
#include <QTableWidgetItem>

#include <algorithm>


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

RowFigures::RowFigures(const AuctionItem &item)
    : wonCost(item.wonCost())
    , profitMeso(item.profitMeso())
    , profitWon(item.profitWon())
{
}

void FigureShapes::add(int column, int64_t value, bool separated)
{
    Range &range = m_ranges[column][separated ? 0 : 1];
    if (!range.any) {
        range = {true, value, value};
        return;
    }
    range.smallest = std::min(range.smallest, value);
    range.largest = std::max(range.largest, value);
}

void FigureShapes::addRow(const AuctionItem &item, const RowFigures &figures)
{
    add(CashColumn, figures.wonCost);
    add(MesoColumn, item.mesoPrice);
    if (figures.profitMeso)
        add(ProfitMesoColumn, *figures.profitMeso);
    if (figures.profitWon)
        add(ProfitWonColumn, *figures.profitWon);
    add(RateColumn, item.rate);
    add(FeeColumn, item.fee, false);
    m_mileage[item.isUseMileage ? 1 : 0] = true;
}

QStringList FigureShapes::widestTexts(int column, QChar widestDigit) const
{
    QStringList texts;
    if (column == MileageColumn) {
        if (m_mileage[1])
            texts << QStringLiteral("O");
        if (m_mileage[0])
            texts << QStringLiteral("X");
        return texts;
    }
    for (int style = 0; style < 2; ++style) {
        const Range &range = m_ranges[column][style];
        if (!range.any)
            continue;
        // The largest has the most digits of the figures from 0 up, the
        // smallest the most of those below 0.
        for (const int64_t value : {range.smallest, range.largest}) {
            QString text = style == 0 ? QString::fromLatin1(ProfitMath::formatThousands(value)) : QString::number(value);
            for (QChar &c : text)
                if (c.isDigit())
                    c = widestDigit;
            texts << text;
        }
    }
    return texts;
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

CellFactory::CellFactory(FigureShapes *shapes)
    : m_red(signColour(1))
    , m_blue(signColour(0))
    , m_shapes(shapes)
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
    const RowFigures figures(item);
    for (int column = 0; column < columnCount; ++column)
        cells[column] = make(column, id, item, figures);
    if (m_shapes)
        m_shapes->addRow(item, figures);
}

QTableWidgetItem *CellFactory::make(int column, int32_t id, const AuctionItem &item, const RowFigures &figures)
{
    if (column == ProfitMesoColumn || column == ProfitWonColumn) {
        const std::optional<int64_t> &value = column == ProfitMesoColumn ? figures.profitMeso : figures.profitWon;
        auto *cell = new QTableWidgetItem(*m_profit[column - ProfitMesoColumn][shadeOf(value)]);
        cell->setText(figureText(value));
        return cell;
    }
    if (const QTableWidgetItem *shared = sharedPrototype(column, id, item, figures))
        return new QTableWidgetItem(*shared);
    auto *cell = new QTableWidgetItem(*m_blank[column]);
    cell->setText(cellText(column, id, item));
    return cell;
}

const QTableWidgetItem *CellFactory::sharedPrototype(int column, int32_t id, const AuctionItem &item,
                                                     const RowFigures &figures)
{
    switch (column) {
    case NameColumn:
        return sharedName(item.name);
    case CashColumn:
        return sharedByValue(column, figures.wonCost, id, item);
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
