#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// One entry of the ledger: a cash item bought for won and put up at the
// auction house for meso, with the settings that were in force for it.
// Its figures are computed on demand from these fields and never cached.
struct AuctionItem
{
    QByteArray name;            // UTF-8
    int32_t cashPrice = 0;      // list price in won, before any discount
    int64_t mesoPrice = 0;      // asking price at the auction house
    bool isUseMileage = false;  // the 30 % mileage discount applies
    int32_t rate = 0;           // won per 100,000,000 meso
    int32_t fee = 0;            // auction fee, percent
    double rateOfDiscount = 0.0; // cash-charge discount, percent

    // Won actually paid after mileage and the cash-charge discount.
    int32_t wonCost() const;
    // Meso one won buys after the fee; empty while no ratio is known.
    std::optional<int32_t> netMesoPerWon() const;
    // Profit in meso; empty when the item carries no usable ratio.
    std::optional<int64_t> profitMeso() const;
    // Profit in won; empty when a won buys no meso at this ratio.
    std::optional<int64_t> profitWon() const;

    // The three figures above, worked out together, each step once.
    struct Figures
    {
        int32_t wonCost = 0;
        std::optional<int64_t> profitMeso;
        std::optional<int64_t> profitWon;
    };
    Figures figures() const;
};
