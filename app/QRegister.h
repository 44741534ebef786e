#pragma once

#include "CashItem.h"
#include "ItemEntryDialog.h"

#include <QDialog>
#include <QSize>

namespace Ui {
class QRegister;
}

// The dialog in which the user registers an item put up at the auction
// house, with the cash item catalogue as a pick list below the fields.
class QRegister : public QDialog, public ItemEntryDialog
{
    Q_OBJECT

public:
    explicit QRegister(QWidget *parent);
    ~QRegister() override;

    // Loads the catalogue and completes the dialog; false when the catalogue
    // cannot be loaded (the user has been told why).
    bool init() override;
    void present() override;
    QObject *qObject() override { return this; }

    const CashItemCatalogue &catalogue() const { return cashItems; }
    bool expanded() const { return isExpanded; }

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void cashItemListPress();

private:
    bool loadCatalogue();
    void fillPickList();

    Ui::QRegister *ui;
    bool isExpanded;
    QSize foldedSize;
    QSize expandedSize;
    CashItemCatalogue cashItems;
};
