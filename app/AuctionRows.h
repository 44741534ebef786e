#pragma once

#include <QBrush>
#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>

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

// The figures of one row that take some arithmetic, worked out once for
// all the cells that show them.
struct RowFigures
{
    explicit RowFigures(const AuctionItem &item);
    int32_t wonCost;
    std::optional<int64_t> profitMeso;
    std::optional<int64_t> profitWon;
};

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
    void addRow(const AuctionItem &item, const RowFigures &figures);
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

// Makes the cells of many rows, each equal to what makeCell gives (text,
// alignment, flags, colours), at a fraction of the cost: cells that read the
// same share one copy of their data until one of them is written, and the
// two sign colours are shared by every profit cell.
class CellFactory
{
public:
    // Tells shapes of every figure it makes, when given.
    explicit CellFactory(FigureShapes *shapes = nullptr);
    ~CellFactory();
    CellFactory(const CellFactory &) = delete;
    CellFactory &operator=(const CellFactory &) = delete;

    // The nine cells of the row of item `id`, as makeCell makes them.
    void makeRow(int32_t id, const AuctionItem &item, QTableWidgetItem *(&cells)[columnCount]);

private:
    using Prototype = std::unique_ptr<QTableWidgetItem>;

    QTableWidgetItem *make(int column, int32_t id, const AuctionItem &item, const RowFigures &figures);
    const QTableWidgetItem *sharedPrototype(int column, int32_t id, const AuctionItem &item,
                                            const RowFigures &figures);
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
    FigureShapes *m_shapes;
};

} // namespace AuctionRows
