#pragma once

#include "AuctionItem.h"
#include "ItemMap.h"
#include "LedgerListener.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>

class ItemEntryDialog;

// The one in-memory ledger: the settings every figure depends on and the
// items, keyed by an id that is never given twice while the items coexist.
// Every change goes through one of its operations, and each one that changes
// something tells the listener; the auction table is drawn from there.
class LedgerStore
{
public:
    // Items in ascending id order, which is the order they were added in.
    using ItemMap = ::ItemMap;

    static LedgerStore &instance();
    static void destroyInstance();
    static bool exists();

    // Sets the default fee, makes the registration dialog and loads the cash
    // item catalogue into it. False when the catalogue cannot be loaded.
    bool initialise(const std::function<ItemEntryDialog *()> &createDialog);
    void setListener(LedgerListener *listener);

    // Adds an item with the settings in force under the next id; returns it.
    int32_t addItem(const QByteArray &name, int32_t cashPrice, int64_t mesoPrice, bool isUseMileage);
    // Puts an item back under the id it had (undoing its removal) at
    // `position` in the order shown: it takes the settings in force now.
    // False when that id is in use.
    bool restoreItem(int32_t id, const AuctionItem &item, int position);
    bool removeItem(int32_t id);
    // Each is false only for an id the store does not hold; setting a field
    // to the value it has is no change and is not announced.
    bool setName(int32_t id, const QByteArray &name);
    bool setCashPrice(int32_t id, int32_t cashPrice);
    bool setMesoPrice(int32_t id, int64_t mesoPrice);
    void clearItems();

    // Each stores the setting, gives every item the new value and keeps the
    // meso per won in step.
    void setRate(int32_t wonPerHundredMillion);
    void setFee(int32_t percent);
    void setRateOfDiscount(double percent);

    const AuctionItem &item(int32_t id) const;
    const AuctionItem *findItem(int32_t id) const;
    const ItemMap &items() const { return m_items; }
    ItemEntryDialog *registerDialog() const;
    void showRegisterDialog();
    static int32_t nextItemId();

    // Read-only views of the settings.
    const int32_t &fee = m_fee;
    const int32_t &rate = m_rate;
    const double &mesoPerWon = m_mesoPerWon;
    const double &rateOfDiscount = m_rateOfDiscount;

    ~LedgerStore();
    LedgerStore(const LedgerStore &) = delete;
    LedgerStore &operator=(const LedgerStore &) = delete;

private:
    LedgerStore();
    void updateMesoPerWon();
    AuctionItem withSettings(AuctionItem item) const;
    template <typename Change>
    bool changeItem(int32_t id, Change change);

    int32_t m_fee = 0;
    int32_t m_rate = 0;
    double m_mesoPerWon = 0.0;
    double m_rateOfDiscount = 0.0;
    ItemMap m_items;
    LedgerListener *m_listener = nullptr;
    ItemEntryDialog *m_registerDialog = nullptr;
    // The dialog is also a Qt child of the main window, which may go first.
    QPointer<QObject> m_registerDialogObject;
};
