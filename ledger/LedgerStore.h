#pragma once

#include "AuctionItem.h"

#include <QByteArray>
#include <QPointer>

#include <cstdint>
#include <map>

class QRegister;

// The one in-memory ledger: the settings every figure depends on and the
// items, keyed by an id that is never given twice while the items coexist.
// The auction table is its view; adding an item also inserts its row.
class LedgerStore
{
public:
    // Items in ascending id order, which is the order they were added in.
    using ItemMap = std::map<int32_t, AuctionItem>;

    static LedgerStore &instance();
    static void destroyInstance();
    static bool exists();

    // Sets the default fee, creates the registration dialog and loads the
    // cash item catalogue into it. False when the catalogue cannot be loaded.
    bool initialise();

    void addItem(const QByteArray &name, int32_t cashPrice, int64_t mesoPrice, bool isUseMileage);
    bool removeItem(int32_t id);
    AuctionItem &item(int32_t id);
    AuctionItem *findItem(int32_t id);
    void clearItems();

    void setFee(int32_t percent);
    void applyRateToItems();
    void applyDiscountToItems();
    void updateMesoPerWon();
    void showRegisterDialog();

    const ItemMap &items() const { return m_items; }
    QRegister *registerDialog() const;
    static int32_t nextItemId();

    int32_t fee = 0;
    int32_t rate = 0;
    double mesoPerWon = 0.0;
    double rateOfDiscount = 0.0;

    ~LedgerStore();

private:
    LedgerStore();

    // Guarded: the dialog is also a Qt child of the main window.
    QPointer<QRegister> m_registerDialog;
    ItemMap m_items;
};
