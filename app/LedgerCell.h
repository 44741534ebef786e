#pragma once

#include <QBrush>
#include <QString>
#include <QTableWidgetItem>

#include <cstdint>
#include <vector>

class LedgerCell;
class LedgerStore;
struct AuctionItem;

// What the auction table's cells read their items from, and what a row
// shows beyond its item: whether its won paid is in plain digits (every row
// shown before a discount change, until the row is laid anew) and which
// item the sort highlights.
class CellSource
{
public:
    explicit CellSource(const LedgerStore &store);

    // Null for an id the store lacks, and once the store is gone: a cell
    // that outlives the ledger shows nothing.
    const AuctionItem *item(int32_t id) const;

    // The row of id laid anew: its won paid has separators again.
    void rowLaidAnew(int32_t id);
    // Every row laid anew, as when the table is rebuilt.
    void allRowsLaidAnew();
    // A discount change: every row shown until now shows its won paid as
    // plain digits.
    void cashShownPlain();
    bool isCashPlain(int32_t id) const;
    // Forgets every row, as for an empty table.
    void clear();

    // The item whose row the sort coloured, or -1.
    int32_t highlightedId = -1;
    const QBrush red;
    const QBrush blue;
    const QBrush yellow;

    // What the player committed in a cell, shown as that cell's text only
    // while the table tells of the change.
    const LedgerCell *typedCell = nullptr;
    QString typedText;
    void dropTyped();

private:
    const LedgerStore *m_store;
    // Stamps of a counter that each event below moves on: the stamp of the
    // last time each row was laid anew (by id), of the last rebuild and of
    // the last discount change.
    uint32_t m_now = 0;
    uint32_t m_rebuiltAt = 0;
    uint32_t m_plainSince = 0;
    std::vector<uint32_t> m_laidAt;
};

// A cell of the auction table. It holds only its item's id and its column:
// its text, colour and alignment are worked out from the store whenever the
// view asks, so a change of a setting rewrites no cell at all.
class LedgerCell : public QTableWidgetItem
{
public:
    enum { Type = QTableWidgetItem::UserType + 1 };

    LedgerCell(CellSource &source, int32_t id, int column);

    int32_t id() const { return m_id; }
    // The cell now shows the item of id (rows change places this way).
    void setId(int32_t id) { m_id = id; }

    QVariant data(int role) const override;
    // A committed edit: the typed text reaches the table's change signal,
    // unless it reads as the cell does now.
    void setData(int role, const QVariant &value) override;

    // The id of a table cell, or -1 for a cell that is none of ours.
    static int32_t idOf(const QTableWidgetItem *cell);
    // Where a cell of table is. The table's own note of a cell's place goes
    // out of date once rows are put in or taken out above it, and then it
    // searches every cell; the player edits the current cell, which is
    // found at once.
    static QModelIndex indexIn(const QTableWidget *table, const QTableWidgetItem *cell);

private:
    QString shownText() const;

    CellSource *m_source;
    int32_t m_id;
    int m_column;
};
