#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace ProfitMath {

// The meso amount that one ratio prices.
constexpr int32_t ratioBase = 100000000;
// The largest ratio at which a won still buys at least one meso after a 5 % fee.
constexpr int32_t largestUsableRate = 50000000;

// Conversions that drop the fraction toward zero. Values outside the target
// range saturate instead of being undefined, and NaN gives 0.
int32_t truncToInt32(double value);
int64_t truncToInt64(double value);

// Cash price after the single-precision 30 % mileage step.
int32_t mileageAdjusted(int32_t cashPrice, bool isUseMileage);
// 1 - percent * 0.01, multiplied first, then subtracted.
double percentFactor(double percent);
// Meso per won before truncation: (1 - fee%) * (100000000 / rate).
// A ratio below 1 has no meso value: the result is 0.
double mesoPerWon(int32_t rate, int32_t fee);

// Decimal digits with "," between groups of three, "-" for negatives.
QByteArray formatThousands(int64_t value);

// Sums of many 64-bit figures need more room than 64 bits. GCC and Clang
// (MinGW-w64 included) have a 128-bit integer; __extension__ keeps pedantic
// builds quiet about it.
__extension__ typedef __int128 Int128;
// formatThousands for 128-bit values, the same look.
QByteArray formatThousands128(Int128 value);
// The same text written into out, which holds at least
// thousandsCapacity characters; returns how many were written.
constexpr int thousandsCapacity = 56;
int formatThousands128(Int128 value, char *out);
// The summary line shown once a ratio is set.
QString rateSummaryText(int32_t rate, double mesoPerWon);

// Removes every "," from text.
QByteArray stripCommas(const QByteArray &text);
// Reads the leading integer of text as strtol does (leading white space,
// optional sign, the longest run of digits, the rest ignored). Empty when no
// digit follows or the value does not fit 64 bits.
std::optional<int64_t> parseLeadingInteger(const QByteArray &text);
// True when text, after leading white space and an optional sign, starts
// with a digit (whether or not the number fits).
bool startsWithInteger(const QByteArray &text);
// True when text is an optional sign and decimal digits and nothing else.
bool isWholeNumber(const QByteArray &text);

} // namespace ProfitMath
