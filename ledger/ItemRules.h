#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <limits>
#include <optional>

// What makes a ledger item one worth keeping: a name, a cash price and a
// meso price, each price above 0 and within its field. The registration
// dialog, a cell edit and a ledger load all ask here, so an item the user
// adds or edits is never one the next load would skip.
namespace ItemRules {

constexpr int64_t largestCashPrice = std::numeric_limits<int32_t>::max();
constexpr int64_t largestMesoPrice = std::numeric_limits<int64_t>::max();

enum class Price { Cash, Meso };
int64_t largestPrice(Price field);

// Names the range a typed number may take, from 1 to `largest`: what every
// refusal of a price or of the ratio ends with.
QString rangeText(int64_t largest);

// What is wrong with a price for its field.
enum class PriceFault { NotAboveZero, TooLarge };
std::optional<PriceFault> priceFault(Price field, int64_t price);

// Each gives why the value is refused, or nothing when it is taken.
std::optional<QString> nameRefusal(const QByteArray &name);
std::optional<QString> priceRefusal(Price field, int64_t price);
// The first refusal of the three, or nothing for an item worth keeping.
std::optional<QString> itemRefusal(const QByteArray &name, int64_t cashPrice, int64_t mesoPrice);

// A whole number as the user types it, into a price cell or the ratio
// field: commas anywhere and blanks around are dropped, and what is left
// must be an optional sign and digits ("7억" is not 7, "1.5" not 1).
struct TypedNumber
{
    enum class Kind {
        Nothing,    // only blanks, or no text at all
        NotANumber, // anything else that is not a whole number
        BelowRange, // a whole number below the 64-bit range
        AboveRange, // a whole number above it
        Number,     // a whole number, in `value`
    };
    Kind kind = Kind::Nothing;
    int64_t value = 0;
};
TypedNumber readTypedNumber(const QString &typed);

// A price as the user types it into a cell, read as above, that the field
// takes. Gives the refusal, or nothing and the price in `price`.
std::optional<QString> readTypedPrice(Price field, const QString &typed, int64_t &price);

} // namespace ItemRules
