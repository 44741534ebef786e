#pragma once

#include <QStringList>

// The titles of the ledger's columns, side by side for the two places that
// show them: the window's table and the spreadsheet export (the CSV file;
// the clipboard row carries the same columns without titles). The table has
// a hidden key column and shows the won paid under "캐시 가격"; the
// spreadsheet has the list price as a column of its own. A null title: the
// column is not there. Both keep the order of the rows below.
namespace LedgerColumns {

struct Title
{
    const char *table; // UTF-8
    const char *sheet; // UTF-8
};

constexpr Title titles[] = {
    {"Key", nullptr},
    {"아이템", "아이템"},
    {nullptr, "캐시 가격(정가)"},
    {"캐시 가격", "지불 금액(원)"},
    {"메소 가격", "메소 가격"},
    {"손익(메소)", "손익(메소)"},
    {"손익(원)", "손익(원)"},
    {"1억당 비율", "1억당 비율"},
    {"수수료(%)", "수수료(%)"},
    {"마일리지 할인 여부", "마일리지 할인 여부"},
};

QStringList tableTitles();
QStringList sheetTitles();

} // namespace LedgerColumns
