#include "LedgerColumns.h"

namespace LedgerColumns {

namespace {

QStringList titlesOf(const char *Title::*place)
{
    QStringList texts;
    for (const Title &title : titles)
        if (title.*place)
            texts << QString::fromUtf8(title.*place);
    return texts;
}

} // namespace

QStringList tableTitles()
{
    return titlesOf(&Title::table);
}

QStringList sheetTitles()
{
    return titlesOf(&Title::sheet);
}

} // namespace LedgerColumns
