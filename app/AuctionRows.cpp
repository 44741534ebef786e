#include "AuctionRows.h"

#include "AuctionItem.h"
#include "ProfitMath.h"

#include <QBrush>
#include <QStringList>
#include <QTableWidgetItem>

namespace AuctionRows {

QStringList headerTexts()
{
    return {QStringLiteral("Key"),
            QString::fromUtf8("아이템"),
            QString::fromUtf8("캐시 가격"),
            QString::fromUtf8("메소 가격"),
            QString::fromUtf8("손익(메소)"),
            QString::fromUtf8("손익(원)"),
            QString::fromUtf8("1억당 비율"),
            QString::fromUtf8("수수료(%)"),
            QString::fromUtf8("마일리지 할인 여부")};
}

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

} // namespace AuctionRows
