#pragma once

#include <QBrush>
#include <QColor>
#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>

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

// Makes the cells of many rows, each equal to what makeCell gives (text,
// alignment, flags, colours), at a fraction of the cost: cells that read the
// same share one copy of their data until one of them is written, and the
// two sign colours are shared by every profit cell.
class CellFactory
{
public:
    CellFactory();
    ~CellFactory();
    CellFactory(const CellFactory &) = delete;
    CellFactory &operator=(const CellFactory &) = delete;

    // The nine cells of the row of item `id`, as makeCell makes them.
    void makeRow(int32_t id, const AuctionItem &item, QTableWidgetItem *(&cells)[columnCount]);

private:
    using Prototype = std::unique_ptr<QTableWidgetItem>;

    QTableWidgetItem *make(int column, int32_t id, const AuctionItem &item);
    const QTableWidgetItem *sharedPrototype(int column, int32_t id, const AuctionItem &item);
    const QTableWidgetItem *sharedByValue(int column, int64_t value, int32_t id, const AuctionItem &item);
    const QTableWidgetItem *sharedName(const QByteArray &name);

    // An empty cell of each column, centred and with its flags.
    Prototype m_blank[columnCount];
    // Profit cells: red, blue and without colour, for columns 4 and 5.
    Prototype m_profit[2][3];
    const QBrush m_red;
    const QBrush m_blue;
    std::unordered_map<int64_t, Prototype> m_byValue[columnCount];
    QHash<QByteArray, QTableWidgetItem *> m_byName;
};

} // namespace AuctionRows
