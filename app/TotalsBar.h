#pragma once

#include <QColor>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QString>
#include <QVector>
#include <QWidget>

#include <array>

class LedgerTotals;

// The ledger's totals in one line for the status bar: the count and the won
// paid in the bar's own colour, each profit total in the colour of the
// profit cells. The line never widens the window: when the window is too
// narrow for it, the count and then the won paid are left out, the profits
// stay, and the tooltip shows the whole line.
//
// Every command that changes an item changes this line, so it is drawn for
// speed: the Korean labels are laid out once, the figures are set glyph by
// glyph from a table of the digits, and a new total repaints only the
// characters that changed. A command then lays out nothing and repaints a few
// digits.
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
    QSize minimumSizeHint() const override;
    // True when the window is too narrow for the whole line: the count, and
    // then the won paid, are left out, and the tooltip shows the whole line.
    bool isShortened() const { return m_shortened; }

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // A stretch of the line in one colour: a label, or a figure made only
    // of digits, commas and signs.
    struct Segment
    {
        QString text;
        QColor colour;
        bool figure = false;
        // 0: the count, 1: the won paid, 2: the profits, never left out.
        int part = 2;
        qreal x = 0;
        qreal width = 0;
        // A figure's glyphs and where each starts, from the segment's left.
        QVector<quint32> glyphs;
        QVector<qreal> offsets;
        QVector<qreal> advances;
        // A label's glyphs, laid out with their baseline at `ascent`.
        QList<QGlyphRun> runs;
        // Where the room of each glyph of each run ends, from the left.
        QVector<QVector<qreal>> glyphEnds;
        qreal ascent = 0;
    };

    void setRuns(const LedgerTotals &totals);
    QVector<Segment> segmentsOf();
    bool setFigure(Segment &segment, int slot);
    void setLabel(Segment &segment);
    void prepareFont();
    void relayout();
    QVector<Segment> fitted();
    static qreal endOf(const QVector<Segment> &segments);
    QRect extent(const Segment &segment) const;
    QRect glyphExtent(const Segment &segment, int glyph) const;
    QRegion damage(const QVector<Segment> &before, const QVector<Segment> &after) const;
    qreal baseline() const;

    std::array<Run, PieceCount> m_runs;
    // The count's and the won paid's texts at the start of the plain run.
    std::array<QString, 2> m_parts;
    // The whole line, and what of it is shown.
    QVector<Segment> m_line;
    QVector<Segment> m_segments;
    bool m_shortened = false;
    // The labels of the line, laid out once for the font.
    QHash<QString, Segment> m_labels;
    // The digits, comma and signs of the bar's font: glyph and advance.
    // Unusable when the font lacks one; figures are then laid out as labels.
    QRawFont m_rawFont;
    std::array<quint32, 13> m_figureGlyphs {};
    std::array<qreal, 13> m_figureAdvances {};
    bool m_figuresUsable = false;
    // The width of each figure's slot, left to right.
    QVector<qreal> m_slots;
    qreal m_ascent = 0;
    qreal m_descent = 0;
    // The whole line's width and the profits' width.
    int m_width = 0;
    int m_minimumWidth = 0;
};
