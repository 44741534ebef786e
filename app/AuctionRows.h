#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
#include <optional>

class QTableWidgetItem;
struct AuctionItem;

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

QStringList headerTexts();

// Profits above 0 are red, 0 and below blue.
QColor signColour(int64_t value);
// Text of a money figure; an undefined figure is an empty cell.
QString figureText(const std::optional<int64_t> &value);
// Text of cell `column` of an item, exactly as a fresh row shows it.
QString cellText(int column, int32_t id, const AuctionItem &item);
// A new cell as row insertion creates it: centred, read-only from column 4
// on, sign-coloured in the profit columns.
QTableWidgetItem *makeCell(int column, int32_t id, const AuctionItem &item);
// Sets the sign colour of a profit cell; an undefined figure keeps the
// default colour so it never reads as a profit or a loss.
void colourProfitCell(QTableWidgetItem *cell, const std::optional<int64_t> &value);

} // namespace AuctionRows
