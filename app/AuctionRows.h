#pragma once

#include "AuctionItem.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>


// How one ledger entry reads in the auction table.
namespace AuctionRows {

constexpr int columnCount = 9;
enum Column {
    KeyColumn = 0,
    NameColumn,
    CashColumn,
    MesoColumn,
    ProfitMesoColumn,
    ProfitWonColumn,
    RateColumn,
    FeeColumn,
    MileageColumn,
};

// Profits above 0 are red, 0 and below blue.
QColor signColour(int64_t value);
// Text of a money figure; an undefined figure is an empty cell.
QString figureText(const std::optional<int64_t> &value);
// Text of cell `column` of an item, exactly as a fresh row shows it.
QString cellText(int column, int32_t id, const AuctionItem &item);
// What a pass over many rows wrote into the figure columns (2 to 8), kept
// by shape instead of measured cell by cell: a figure's width follows from
// how many digits it has, its sign and whether it has separators, so no
// figure of a column is wider than its longest ones written with the
// widest digit. Only the largest and the smallest figure of a column count.
class FigureShapes
{
public:
    // A figure as formatThousands writes it, or as plain digits.
    void add(int column, int64_t value, bool separated = true);
    // Every figure cell of a row as a fresh row shows it.
    void addRow(const AuctionItem &item, const AuctionItem::Figures &figures);
    // Texts at least as wide as every figure added to column, when each of
    // their digits is drawn as widestDigit.
    QStringList widestTexts(int column, QChar widestDigit) const;

private:
    struct Range
    {
        bool any = false;
        int64_t smallest = 0;
        int64_t largest = 0;
    };
    // By column, with separators and as plain digits.
    Range m_ranges[columnCount][2];
    bool m_mileage[2] = {false, false};
};

} // namespace AuctionRows
