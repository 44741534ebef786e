#pragma once

#include <rapidjson/document.h>

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>

// One entry of the cash item catalogue.
struct CashItem
{
    QByteArray name;  // UTF-8
    int32_t price = 0; // won
    bool isUseMileage = false;
};

// Catalogue entries by their position in the file; iteration visits them in
// file order.
using CashItemCatalogue = std::map<int32_t, CashItem>;

namespace CashItemLoader {

// Fills catalogue from a parsed catalogue file. Returns the message that
// names the first faulty element, or nothing when every element is usable.
// A text that is not a JSON array gives an empty catalogue and no message.
std::optional<QString> fill(const rapidjson::Value &root, CashItemCatalogue &catalogue);

} // namespace CashItemLoader
