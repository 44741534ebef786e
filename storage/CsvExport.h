#pragma once

#include "AuctionItem.h"

#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

class QIODevice;

// The ledger as a spreadsheet: CSV for a file, a tab-separated row for the
// clipboard. Both carry the same nine columns: name, list price, won paid,
// meso price, profit in meso, profit in won, ratio, fee and mileage (O/X).
//
// The file is made for Excel on Korean Windows, which reads a CSV as the
// system's code page unless it starts with a UTF-8 byte-order mark: UTF-8
// with the mark, CRLF line ends, fields quoted where a comma, quote or line
// break would split them. Numbers are plain digits so a spreadsheet takes
// them as numbers; an undefined profit is an empty field.
namespace CsvExport {

// A row of the auction table: its key and its item (never null).
using Row = std::pair<int32_t, const AuctionItem *>;

// Writes the header and one record per row, in the order given. The key is
// not a column; the rows are taken as the table holds them. False when the
// device refuses a write.
bool write(QIODevice &device, const std::vector<Row> &rowsInTableOrder);
// Writes the whole text beside path and puts it in place only once it is
// complete, so an old file survives any failure. False on failure.
bool writeFile(const QString &path, const std::vector<Row> &rowsInTableOrder);

// One record without header, mark or line end, fields separated by tabs, for
// pasting into a spreadsheet as one row of cells: tabs and line breaks in
// the name become spaces.
QString tabSeparatedRow(int32_t id, const AuctionItem &item);

} // namespace CsvExport
