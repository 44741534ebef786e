#include "LedgerStore.h"

#include "MainWindow.h"
#include "ProfitMath.h"
#include "QRegister.h"

#include <cassert>

namespace {
LedgerStore *storeInstance = nullptr;
// Lives beside the store, not in it: destroying the store keeps the count.
int32_t nextId = 0;
} // namespace

LedgerStore::LedgerStore() = default;

LedgerStore::~LedgerStore()
{
    delete m_registerDialog.data();
}

LedgerStore &LedgerStore::instance()
{
    if (!storeInstance)
        storeInstance = new LedgerStore;
    return *storeInstance;
}

void LedgerStore::destroyInstance()
{
    delete storeInstance;
    storeInstance = nullptr;
}

bool LedgerStore::exists()
{
    return storeInstance != nullptr;
}

QRegister *LedgerStore::registerDialog() const
{
    return m_registerDialog.data();
}

int32_t LedgerStore::nextItemId()
{
    return nextId;
}

bool LedgerStore::initialise()
{
    fee = 5;
    delete m_registerDialog.data();
    m_registerDialog = new QRegister(MainWindow::instance());
    return m_registerDialog->init();
}

void LedgerStore::addItem(const QByteArray &name, int32_t cashPrice, int64_t mesoPrice, bool isUseMileage)
{
    AuctionItem item;
    item.name = name;
    item.cashPrice = cashPrice;
    item.mesoPrice = mesoPrice;
    item.isUseMileage = isUseMileage;
    item.rate = rate;
    item.fee = fee;
    item.rateOfDiscount = rateOfDiscount;
    const int32_t id = nextId;
    const auto inserted = m_items.emplace(id, std::move(item)).first;
    MainWindow::instance()->insertAuctionRow(id, inserted->second);
    ++nextId;
}

bool LedgerStore::removeItem(int32_t id)
{
    return m_items.erase(id) > 0;
}

AuctionItem &LedgerStore::item(int32_t id)
{
    const auto found = m_items.find(id);
    assert(found != m_items.end());
    return found->second;
}

AuctionItem *LedgerStore::findItem(int32_t id)
{
    const auto found = m_items.find(id);
    return found == m_items.end() ? nullptr : &found->second;
}

void LedgerStore::clearItems()
{
    m_items.clear();
    nextId = 0;
}

void LedgerStore::setFee(int32_t percent)
{
    fee = percent;
    for (auto &entry : m_items)
        entry.second.fee = percent;
}

void LedgerStore::applyRateToItems()
{
    for (auto &entry : m_items)
        entry.second.rate = rate;
}

void LedgerStore::applyDiscountToItems()
{
    for (auto &entry : m_items)
        entry.second.rateOfDiscount = rateOfDiscount;
}

void LedgerStore::updateMesoPerWon()
{
    mesoPerWon = ProfitMath::mesoPerWon(rate, fee);
}

void LedgerStore::showRegisterDialog()
{
    if (!m_registerDialog)
        return;
    m_registerDialog->raise();
    m_registerDialog->show();
}
