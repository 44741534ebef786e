// Ledger bytes applied by the real window, as the open command applies a file
// once it has been chosen: the bytes are written to a file and
// MainWindow::loadLedgerFrom reads it into the one window, built once on the
// offscreen platform, answering Yes when it asks to replace the ledger.
//
// Checked after every input, against a separate reading of the same bytes:
// - a text that is not a JSON object is refused and leaves the ledger alone;
// - an accepted file adds exactly its usable elements (a name, a cash price
//   from 1 to 2^31 - 1, a meso price above 0), in file order;
// - the table and the store agree row for row;
// - a usable ratio (1 to 50,000,000) comes into force with the file's fee,
//   any other leaves no ratio set; the discount
//   in the store is the one the spin box shows.

#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "ProfitMath.h"
#include "Prompt.h"
#include "TestSupport.h"

#include <rapidjson/document.h>
#include <rapidjson/memorystream.h>

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

PortableFolder *folder = nullptr;
MainWindow *window = nullptr;
QString ledgerPath;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_ledger_load: %s\n", what);
    std::abort();
}

struct Expected
{
    bool accepted = false;
    int32_t rate = 0;
    int32_t fee = 0;
    std::vector<QByteArray> names;
};

const rapidjson::Value *member(const rapidjson::Value &object, const char *name)
{
    const auto found = object.FindMember(name);
    return found == object.MemberEnd() ? nullptr : &found->value;
}

int64_t integer(const rapidjson::Value &object, const char *name)
{
    const rapidjson::Value *value = member(object, name);
    return value && value->IsInt64() ? value->GetInt64() : 0;
}

Expected readIndependently(const uint8_t *data, size_t size)
{
    Expected expected;
    rapidjson::Document document;
    rapidjson::MemoryStream stream(reinterpret_cast<const char *>(data), size);
    document.ParseStream<rapidjson::kParseIterativeFlag>(stream);
    if (document.HasParseError() || !document.IsObject())
        return expected;
    expected.accepted = true;
    const rapidjson::Value *rate = member(document, "rate");
    expected.rate = rate && rate->IsInt() ? rate->GetInt() : 0;
    const rapidjson::Value *fee = member(document, "fee");
    expected.fee = fee && fee->IsInt() ? fee->GetInt() : 0;
    const rapidjson::Value *items = member(document, "auctionItems");
    if (!items || !items->IsArray())
        return expected;
    for (const rapidjson::Value &element : items->GetArray()) {
        if (!element.IsObject())
            continue;
        const rapidjson::Value *name = member(element, "name");
        if (!name || !name->IsString() || name->GetString()[0] == '\0')
            continue;
        const int64_t cash = integer(element, "cashPrice");
        const int64_t meso = integer(element, "mesoPrice");
        if (cash <= 0 || cash > std::numeric_limits<int32_t>::max() || meso <= 0)
            continue;
        expected.names.push_back(QByteArray(name->GetString()));
    }
    return expected;
}

std::vector<int32_t> storeIds()
{
    std::vector<int32_t> ids;
    for (const auto &entry : LedgerStore::instance().items())
        ids.push_back(entry.first);
    return ids;
}

void checkTableMatchesStore()
{
    const LedgerStore &store = LedgerStore::instance();
    MyTableWidget *table = window->table();
    if (table->rowCount() != static_cast<int>(store.items().size()))
        fail("the table and the store hold different numbers of items");
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString key = cellText(window, row, 0);
        bool ok = false;
        const int id = key.toInt(&ok);
        const auto found = store.items().find(id);
        if (!ok || found == store.items().end())
            fail("a row's id names no item of the store");
        if (cellText(window, row, 1) != QString::fromUtf8(found->second.name))
            fail("a row shows another name than its item's");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_ledger_load";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    folder = new PortableFolder(QByteArray("[]"));
    ledgerPath = folder->path(QStringLiteral("Resource/ledger.json"));
    window = freshWindow();
    if (!window)
        fail("the window did not start");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Each row costs table work; the limits test covers big files.
    if (size > 64 * 1024)
        return 0;
    {
        QFile file(ledgerPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fail("cannot write the ledger file");
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }

    const Expected expected = readIndependently(data, size);
    const std::vector<int32_t> idsBefore = storeIds();
    const bool hadRows = window->table()->rowCount() > 0;
    const bool ratioWasSet = window->ratioIsSet();
    const int32_t rateBefore = LedgerStore::instance().rate;
    if (hadRows)
        Prompt::queueAnswer(true);

    const bool loaded = window->loadLedgerFrom(ledgerPath);
    const QStringList messages = Prompt::takeMessages();
    const QStringList questions = Prompt::takeQuestions();

    if (loaded != expected.accepted)
        fail(loaded ? "a text that is not a JSON object was loaded" : "a JSON object was refused");
    if (!loaded) {
        if (storeIds() != idsBefore)
            fail("a refused file changed the ledger");
        if (messages.isEmpty())
            fail("a refused file was not reported");
        // The queued Yes was not asked for; drop it.
        if (hadRows && !Prompt::question(nullptr, QString(), QString()))
            fail("the queued answer went missing");
        Prompt::takeQuestions();
        checkTableMatchesStore();
        return 0;
    }

    if (questions.size() != (hadRows ? 1 : 0))
        fail("the replace question was asked when it should not be, or not asked");
    const LedgerStore &store = LedgerStore::instance();
    if (store.items().size() != expected.names.size())
        fail("the ledger does not hold exactly the file's usable items");
    size_t index = 0;
    for (const auto &entry : store.items()) {
        if (entry.second.name != expected.names[index])
            fail("an item is not the file's item at its position");
        if (entry.second.cashPrice <= 0 || entry.second.mesoPrice <= 0)
            fail("an item with a price not above 0 was added");
        ++index;
    }
    // The set command refuses a ratio above 50,000,000, at which a won buys
    // no meso after the fee.
    if (expected.rate >= 1 && expected.rate <= ProfitMath::largestUsableRate) {
        if (!window->ratioIsSet() || store.rate != expected.rate)
            fail("the file's ratio did not come into force");
        if (store.fee != (expected.fee == 3 ? 3 : 5))
            fail("the file's fee did not come into force");
    } else if (window->ratioIsSet() != ratioWasSet) {
        fail("a ratio that cannot be used changed whether a ratio is set");
    } else if (ratioWasSet) {
        // The ratio in force stays, and the file's fee applies to it.
        if (store.rate != rateBefore)
            fail("a ratio that cannot be used replaced the ratio in force");
        if (store.fee != (expected.fee == 3 ? 3 : 5))
            fail("the file's fee did not come into force over the kept ratio");
    }
    const auto *discount = child<QDoubleSpinBox>(window, "doubleSpinBox");
    if (store.rateOfDiscount != discount->value())
        fail("the store's discount is not the one the spin box shows");
    checkTableMatchesStore();
    return 0;
}
