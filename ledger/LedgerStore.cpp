#include "LedgerStore.h"

#include "ItemEntryDialog.h"
#include "ProfitMath.h"

#include <cassert>

namespace {
LedgerStore *storeInstance = nullptr;
// Lives beside the store, not in it: destroying the store keeps the count.
int32_t nextId = 0;
} // namespace

LedgerStore::LedgerStore() = default;

LedgerStore::~LedgerStore()
{
    if (m_registerDialogObject)
        delete m_registerDialog;
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

ItemEntryDialog *LedgerStore::registerDialog() const
{
    return m_registerDialogObject ? m_registerDialog : nullptr;
}

int32_t LedgerStore::nextItemId()
{
    return nextId;
}

bool LedgerStore::initialise(const std::function<ItemEntryDialog *()> &createDialog)
{
    m_fee = 5;
    if (m_registerDialogObject)
        delete m_registerDialog;
    m_registerDialog = createDialog();
    m_registerDialogObject = m_registerDialog ? m_registerDialog->qObject() : nullptr;
    return m_registerDialog && m_registerDialog->init();
}

void LedgerStore::setListener(LedgerListener *listener)
{
    m_listener = listener;
}

AuctionItem LedgerStore::withSettings(AuctionItem item) const
{
    item.rate = m_rate;
    item.fee = m_fee;
    item.rateOfDiscount = m_rateOfDiscount;
    return item;
}

int32_t LedgerStore::addItem(const QByteArray &name, int32_t cashPrice, int64_t mesoPrice, bool isUseMileage)
{
    AuctionItem item;
    item.name = name;
    item.cashPrice = cashPrice;
    item.mesoPrice = mesoPrice;
    item.isUseMileage = isUseMileage;
    const int32_t id = nextId;
    const auto inserted = m_items.emplace(id, withSettings(std::move(item))).first;
    ++nextId;
    if (m_listener)
        m_listener->itemAdded(id, inserted->second);
    return id;
}

bool LedgerStore::restoreItem(int32_t id, const AuctionItem &item, int position)
{
    const auto inserted = m_items.emplace(id, withSettings(item));
    if (!inserted.second)
        return false;
    if (m_listener)
        m_listener->itemRestored(id, inserted.first->second, position);
    return true;
}

bool LedgerStore::removeItem(int32_t id)
{
    const auto found = m_items.find(id);
    if (found == m_items.end())
        return false;
    const AuctionItem removed = std::move(found->second);
    m_items.erase(found);
    if (m_listener)
        m_listener->itemRemoved(id, removed);
    return true;
}

template <typename Change>
bool LedgerStore::changeItem(int32_t id, Change change)
{
    const auto found = m_items.find(id);
    if (found == m_items.end())
        return false;
    AuctionItem before = found->second;
    if (!change(found->second))
        return true;
    if (m_listener)
        m_listener->itemChanged(id, before, found->second);
    return true;
}

bool LedgerStore::setName(int32_t id, const QByteArray &name)
{
    return changeItem(id, [&](AuctionItem &item) {
        if (item.name == name)
            return false;
        item.name = name;
        return true;
    });
}

bool LedgerStore::setCashPrice(int32_t id, int32_t cashPrice)
{
    return changeItem(id, [&](AuctionItem &item) {
        if (item.cashPrice == cashPrice)
            return false;
        item.cashPrice = cashPrice;
        return true;
    });
}

bool LedgerStore::setMesoPrice(int32_t id, int64_t mesoPrice)
{
    return changeItem(id, [&](AuctionItem &item) {
        if (item.mesoPrice == mesoPrice)
            return false;
        item.mesoPrice = mesoPrice;
        return true;
    });
}

const AuctionItem &LedgerStore::item(int32_t id) const
{
    const auto found = m_items.find(id);
    assert(found != m_items.end());
    return found->second;
}

const AuctionItem *LedgerStore::findItem(int32_t id) const
{
    const auto found = m_items.find(id);
    return found == m_items.end() ? nullptr : &found->second;
}

void LedgerStore::clearItems()
{
    m_items.clear();
    nextId = 0;
    if (m_listener)
        m_listener->itemsCleared();
}

void LedgerStore::setRate(int32_t wonPerHundredMillion)
{
    m_rate = wonPerHundredMillion;
    for (auto &entry : m_items)
        entry.second.rate = m_rate;
    updateMesoPerWon();
    if (m_listener)
        m_listener->settingChanged(LedgerSetting::Rate);
}

void LedgerStore::setFee(int32_t percent)
{
    m_fee = percent;
    for (auto &entry : m_items)
        entry.second.fee = percent;
    updateMesoPerWon();
    if (m_listener)
        m_listener->settingChanged(LedgerSetting::Fee);
}

void LedgerStore::setRateOfDiscount(double percent)
{
    m_rateOfDiscount = percent;
    for (auto &entry : m_items)
        entry.second.rateOfDiscount = percent;
    if (m_listener)
        m_listener->settingChanged(LedgerSetting::Discount);
}

void LedgerStore::updateMesoPerWon()
{
    m_mesoPerWon = ProfitMath::mesoPerWon(m_rate, m_fee);
}

void LedgerStore::showRegisterDialog()
{
    if (ItemEntryDialog *dialog = registerDialog())
        dialog->present();
}
