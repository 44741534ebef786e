#pragma once

#include "LedgerFile.h"

#include <QString>

#include <cstdint>

// What a ledger load could not take as the file has it: the items it left
// out, counted by why, and the settings it replaced, with what replaced them.
namespace LoadNote {

// The settings in force once the load is done.
struct InForce
{
    bool ratioSet = false;
    int32_t rate = 0;
    int32_t fee = 5;
    double rateOfDiscount = 0.0;
};

// The message for the player; empty when the file was taken as it is.
// `ratioRefusal` is why the file's ratio was refused, empty when it was set.
QString text(const LedgerFile::Contents &file, const InForce &inForce, const QString &ratioRefusal);
// Whether that message names a setting the load replaced.
bool replacesSettings(const LedgerFile::Contents &file, const InForce &inForce, const QString &ratioRefusal);

} // namespace LoadNote
