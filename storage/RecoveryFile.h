#pragma once

#include "AuctionItem.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

// The copy of unsaved work that lets it outlive a crash: the ledger as a
// ledger file would hold it, its items in the table's order from the bottom
// row up (so that adding them in turn, each at the top, gives the rows back
// in order), plus "file" (the ledger's own file, "" when it has none),
// "savedAt" (ISO 8601, UTC) and "version".
namespace RecoveryFile {

constexpr int version = 1;

struct Snapshot
{
    int32_t rate = 0;
    int32_t fee = 5;
    double rateOfDiscount = 0.0;
    // Top row first.
    std::vector<AuctionItem> rows;
    QString filePath;
    QDateTime savedAt;
};

// Writes the whole copy beside path and renames it into place (QSaveFile).
bool write(const Snapshot &snapshot, const QString &path);

enum class ReadResult { Read, Missing, Damaged };
// Damaged: not JSON, cut short, not a ledger, or written by a later version.
ReadResult read(const QString &path, Snapshot &snapshot);

} // namespace RecoveryFile
