#pragma once

#include <QColor>
#include <QStaticText>
#include <QString>
#include <QWidget>

#include <array>

class LedgerTotals;

// The ledger's totals in one line for the status bar: the count and the won
// paid in the bar's own colour, each profit total in the colour of the
// profit cells. It draws the line itself: a command that changes one item
// then repaints this line and lays out nothing.
class TotalsBar : public QWidget
{
    Q_OBJECT
public:
    // The runs of the line, left to right.
    enum Piece { Plain, ProfitMeso, Slash, ProfitWon, Undefined, PieceCount };
    struct Run
    {
        QString text;
        QColor colour; // invalid: the bar's own text colour
    };

    explicit TotalsBar(QWidget *parent = nullptr);

    void setTotals(const LedgerTotals &totals);
    const Run &run(Piece piece) const { return m_runs[piece]; }
    // The whole line as one text.
    QString text() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setRun(Piece piece, const QString &text, const QColor &colour);
    int lineWidth() const;

    std::array<Run, PieceCount> m_runs;
    // Each run laid out once, when its text changes, not at every paint.
    std::array<QStaticText, PieceCount> m_laidOut;
    // Only grows, so that a shorter line never moves the status bar around.
    int m_width = 0;
};
