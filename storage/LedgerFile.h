#pragma once

#include "AuctionItem.h"
#include "ItemMap.h"
#include "JsonFileIo.h"

#include <rapidjson/document.h>

#include <QByteArray>

#include <array>
#include <cstdint>
#include <vector>

// The ledger file: one object with "rate", "fee", "rateOfDiscount" and
// "auctionItems", written compactly in that order.
namespace LedgerFile {

struct Item
{
    QByteArray name;
    int32_t cashPrice = 0;
    int64_t mesoPrice = 0;
    bool isUseMileage = false;
};

// How the file gave a setting: not at all, as a value of another type or
// size (both read as 0), or as one that was read.
enum class Given { Missing, Unreadable, Read };

// Why an element of "auctionItems" was left out.
enum class Skip { NotAnItem, NoName, PriceNotAboveZero, CashPriceTooLarge, MesoPriceTooLarge };
constexpr int skipKinds = 5;

struct Contents
{
    int32_t rate = 0;
    int32_t fee = 0;
    double rateOfDiscount = 0.0;
    Given rateGiven = Given::Missing;
    Given feeGiven = Given::Missing;
    Given rateOfDiscountGiven = Given::Missing;
    // Only the elements worth adding: those ItemRules::itemRefusal takes.
    std::vector<Item> items;
    // The others, counted by why (indexed by Skip).
    std::array<int, skipKinds> skipped{};

    int skippedCount() const;
};

// Reads a parsed ledger. A member of the wrong type reads as if it were
// missing; false only when the root is not an object.
bool read(const rapidjson::Value &root, Contents &contents);

// Writes a ledger's members: the settings, then "auctionItems" with the
// items in id order. Between the caller's StartObject and EndObject, so a
// file that says more about the ledger adds its own members after them.
bool writeMembers(JsonFileIo::Writer &out, int32_t rate, int32_t fee, double rateOfDiscount, const ItemMap &items);
// The whole ledger file.
bool write(JsonFileIo::Writer &out, int32_t rate, int32_t fee, double rateOfDiscount, const ItemMap &items);

} // namespace LedgerFile
