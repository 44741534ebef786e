#pragma once

#include "LedgerTotals.h"
#include "ProfitMath.h"

#include <QColor>
#include <QGlyphRun>
#include <QList>
#include <QRawFont>
#include <QString>
#include <QVector>
#include <QWidget>

#include <array>

// The ledger's totals in one line for the status bar: the count and the won
// paid in the bar's own colour, each profit total in the colour of the
// profit cells. The line never widens the window: when the window is too
// narrow for it, the count and then the won paid are left out, the profits
// stay, and the tooltip shows the whole line.
//
// Every command that changes an item changes this line, so it is drawn for
// speed: the Korean labels are laid out once, the figures are set glyph by
// glyph from a table of the digits into storage the bar keeps, and a new
// total repaints only the characters that changed. A command then lays out
// nothing, makes no strings and repaints a few digits.
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
    const Run &run(Piece piece) const;
    // The whole line as one text.
    QString text() const;
    // What the bar draws: the whole line, or its end when shortened.
    QString shownText() const;
    // True when the window is too narrow for the whole line: the count, and
    // then the won paid, are left out, and the tooltip shows the whole line.
    bool isShortened() const { return m_leftOut > 0; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // The fixed words of the line.
    enum Word {
        CountWord,      // "개 · "
        PaidWord,       // "지불 "
        PaidEndWord,    // "원 · "
        ProfitWord,     // "손익 "
        MesoWord,       // "메소"
        SlashWord,      // " / "
        WonWord,        // "원"
        UnknownWord,    // " (손익 미정 "
        UnknownEndWord, // "개)"
        UnknownMesoWord, // " (손익 미정 메소 "
        UnknownWonWord, // "개 / 원 "
        WordCount
    };
    static constexpr int figureLimit = 6;
    static constexpr int figureLength = ProfitMath::thousandsCapacity;

    // A word laid out once: its glyphs with their baseline at `ascent`, and
    // where the room of each glyph ends.
    struct Label
    {
        QString text;
        QList<QGlyphRun> runs;
        QVector<QVector<qreal>> glyphEnds;
        qreal width = 0;
        qreal ascent = 0;
    };
    // A figure's characters, glyphs, and where each starts within its slot.
    struct Figure
    {
        int length = 0;
        std::array<char, figureLength> text {};
        std::array<quint32, figureLength> glyphs {};
        std::array<qreal, figureLength> offsets {};
    };
    // A stretch of the line in one colour: a word or a figure.
    struct Segment
    {
        int word = -1;   // a Word, or -1 for a figure
        int figure = -1; // which figure
        QColor colour;
        // 0: the count, 1: the won paid, 2: the profits, never left out.
        int part = 2;
        qreal x = 0;
        qreal width = 0;
    };
    // One state of the line.
    struct Line
    {
        QVector<Segment> segments;
        std::array<Figure, figureLimit> figures;
        qreal end = 0;
    };

    void build(const LedgerTotals &totals, Line &line);
    void setFigure(Line &line, int figure, ProfitMath::Int128 value, bool plus);
    void prepareFont();
    void relayout();
    void fit();
    // How far the shown segments move left.
    qreal shift() const { return m_dropped[m_leftOut]; }
    QRect extent(qreal x, qreal width) const;
    qreal advanceOf(const Figure &figure, int glyph) const;
    QRegion damage(const Line &before, int beforeLeftOut, qreal beforeShift);
    QString textOf(const Line &line, const Segment &segment) const;
    qreal baseline() const;

    LedgerTotals m_totals;
    mutable std::array<Run, PieceCount> m_runs;
    mutable bool m_runsKnown = false;
    // The line shown and the one before it, swapped at each change so that
    // their storage is reused.
    Line m_line;
    Line m_previous;
    // How many parts are left out, and how far what follows moves left.
    int m_leftOut = 0;
    std::array<qreal, 3> m_dropped {};
    std::array<Label, WordCount> m_words;
    // The digits, comma and signs: glyph and advance. A font that lacks one
    // has its figures drawn as text.
    QRawFont m_rawFont;
    std::array<quint32, 13> m_figureGlyphs {};
    std::array<qreal, 13> m_figureAdvances {};
    bool m_figuresUsable = false;
    // The width of each figure's slot, left to right.
    std::array<qreal, figureLimit> m_slots {};
    QVector<QRect> m_stretches;
    qreal m_ascent = 0;
    qreal m_descent = 0;
    // The whole line's width and the profits' width; both only grow, so
    // that a shorter line never moves the status bar around.
    int m_width = 0;
    int m_minimumWidth = 0;
};
