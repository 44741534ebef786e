#include "AuctionItem.h"

#include "ProfitMath.h"

using namespace ProfitMath;

int32_t AuctionItem::wonCost() const
{
    const int32_t price = mileageAdjusted(cashPrice, isUseMileage);
    const double factor = percentFactor(rateOfDiscount);
    return truncToInt32(factor * static_cast<double>(price));
}

std::optional<int32_t> AuctionItem::netMesoPerWon() const
{
    // A ratio of 0 (a ledger loaded before any ratio was set) has no meso value.
    if (rate < 1)
        return std::nullopt;
    const int32_t perWon = ratioBase / rate;
    return truncToInt32(static_cast<double>(perWon) * percentFactor(static_cast<double>(fee)));
}

AuctionItem::Figures AuctionItem::figures() const
{
    Figures figures;
    figures.wonCost = wonCost();
    const std::optional<int32_t> perWon = netMesoPerWon();
    if (!perWon)
        return figures;
    const double feeFactor = percentFactor(static_cast<double>(fee));
    const int64_t proceeds = truncToInt64(static_cast<double>(mesoPrice) * feeFactor);
    const int64_t product = static_cast<int64_t>(figures.wonCost) * static_cast<int64_t>(*perWon);
    const int64_t profit = proceeds - truncToInt64(static_cast<double>(product));
    figures.profitMeso = profit;
    // Above 50,000,000 won per 100,000,000 meso a won buys no meso after the fee.
    if (*perWon != 0)
        figures.profitWon = profit / *perWon;
    return figures;
}

std::optional<int64_t> AuctionItem::profitMeso() const
{
    return figures().profitMeso;
}

std::optional<int64_t> AuctionItem::profitWon() const
{
    return figures().profitWon;
}
