#pragma once

#include <QString>

#include <cstdint>

// Writes ledger files for measuring: n items with names like those a player
// registers, prices spread so that profits fall on both sides of zero.
namespace LedgerGenerator {

struct Settings
{
    int32_t rate = 3000;          // won per 100,000,000 meso
    int32_t fee = 5;
    double rateOfDiscount = 0.0;
    uint64_t seed = 20261207;     // the same seed always writes the same file
};

// Writes the ledger file to path through the program's own writer. False
// when the file cannot be written.
bool write(const QString &path, int64_t count, const Settings &settings = Settings());

} // namespace LedgerGenerator
