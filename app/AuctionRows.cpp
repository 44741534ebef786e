#include "AuctionRows.h"

#include "AuctionItem.h"
#include "ProfitMath.h"


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

void FigureShapes::addRow(const AuctionItem &item, const AuctionItem::Figures &figures)
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

} // namespace AuctionRows
