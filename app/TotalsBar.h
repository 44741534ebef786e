#pragma once

#include "LedgerTotals.h"

#include <QLabel>

// The ledger's totals at the right end of the status bar, in LedgerTotals'
// words, each profit total in the colour of the profit cells. It never widens
// the window: in too little room it leaves out the count, then the won paid,
// then the start of the profits, and its tooltip shows the whole line. While
// the status bar shows a message, the line takes the room the message leaves.
class TotalsBar : public QWidget
{
    Q_OBJECT
public:
    explicit TotalsBar(QWidget *parent = nullptr);
    void setTotals(const LedgerTotals &totals);
    // The whole line, and what the bar shows of it: the line or its end.
    QString line() const { return m_line; }
    QString shownText() const { return m_shown; }
    bool isShortened() const { return m_shown != m_line; }
    QSize sizeHint() const override { return QSize(m_width, m_label->sizeHint().height()); }
    QSize minimumSizeHint() const override { return QSize(0, sizeHint().height()); }

protected:
    bool event(QEvent *event) override;

private:
    void measure(bool again = false);
    void fit();
    void leaveRoom();

    // The label is no child of a layout: a new text lays nothing out again.
    QLabel *m_label;
    QVector<LedgerTotals::Run> m_runs;
    QString m_line;
    QString m_shown;
    int m_width = 0;
    int m_messageWidth = 0; // 0: the status bar shows no message
};
