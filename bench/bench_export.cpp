// How long exporting the ledger as CSV takes, from the table's rows to the
// file in place, for ledgers of 1,000, 10,000 and 100,000 items, and for
// 100,000 items in an order far from the one they lie in memory in, as the
// rows of a sorted table are (the second argument 1).

#include "LedgerGenerator.h"

#include "AuctionItem.h"
#include "CsvExport.h"
#include "JsonFileIo.h"
#include "LedgerFile.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

namespace {

// The items of a generated ledger, as the store holds them once it is
// opened; empty when the ledger could not be made.
std::vector<AuctionItem> generatedItems(const QString &directory, int64_t count)
{
    const QString path = directory + QStringLiteral("/ledger-%1.json").arg(count);
    const LedgerGenerator::Settings settings;
    if (!LedgerGenerator::write(path, count, settings))
        return {};
    rapidjson::Document document;
    LedgerFile::Contents contents;
    if (!JsonFileIo::instance().readLedgerFile(document, path) || !LedgerFile::read(document, contents))
        return {};
    std::vector<AuctionItem> items;
    items.reserve(contents.items.size());
    for (const LedgerFile::Item &stored : contents.items) {
        AuctionItem item;
        item.name = stored.name;
        item.cashPrice = stored.cashPrice;
        item.mesoPrice = stored.mesoPrice;
        item.isUseMileage = stored.isUseMileage;
        item.rate = contents.rate;
        item.fee = contents.fee;
        item.rateOfDiscount = contents.rateOfDiscount;
        items.push_back(std::move(item));
    }
    return items;
}

void BM_ExportCsv(benchmark::State &state)
{
    const int64_t count = state.range(0);
    QTemporaryDir directory;
    // Made once per size: every repetition runs this function again.
    static std::map<int64_t, std::vector<AuctionItem>> ledgers;
    std::vector<AuctionItem> &items = ledgers[count];
    if (items.empty() && directory.isValid())
        items = generatedItems(directory.path(), count);
    if (!directory.isValid() || static_cast<int64_t>(items.size()) != count) {
        state.SkipWithError("cannot generate the ledger");
        return;
    }
    std::vector<CsvExport::Row> rows;
    rows.reserve(items.size());
    for (size_t k = 0; k < items.size(); ++k)
        rows.emplace_back(static_cast<int32_t>(k), &items[k]);
    if (state.range(1) == 1) {
        std::mt19937 random(7);
        std::shuffle(rows.begin(), rows.end(), random);
    }

    // Over the same file each time, as a user exporting again would.
    const QString path = directory.filePath(QStringLiteral("ledger.csv"));
    for (auto _ : state) {
        if (!CsvExport::writeFile(path, rows)) {
            state.SkipWithError("the export failed");
            return;
        }
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
}

} // namespace

BENCHMARK(BM_ExportCsv)->Args({1000, 0})->Args({10000, 0})->Args({100000, 0})->Args({100000, 1})->UseRealTime()->Unit(benchmark::kMillisecond);
