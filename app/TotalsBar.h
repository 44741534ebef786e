#pragma once

#include <QWidget>

class LedgerTotals;
class QLabel;

// The ledger's totals in one row for the status bar: the count and the won
// paid in plain text, each profit total in the colour of the profit cells.
class TotalsBar : public QWidget
{
    Q_OBJECT
public:
    explicit TotalsBar(QWidget *parent = nullptr);

    void setTotals(const LedgerTotals &totals);

private:
    QLabel *m_plain;
    QLabel *m_profitMeso;
    QLabel *m_profitWon;
    QLabel *m_undefined;
};
