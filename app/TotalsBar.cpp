#include "TotalsBar.h"

#include "AuctionRows.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// A total that no item contributes to keeps the bar's own colour, as an
// undefined profit cell does.
QColor colourOf(const std::optional<int> &sign)
{
    return sign ? AuctionRows::signColour(*sign) : QColor();
}

constexpr int margin = 4;
// How far a glyph's antialiased edge may reach beyond its advance.
constexpr qreal overhang = 2;

// What a figure is written with, in the order of the glyph table.
const char figureCharacters[] = "0123456789,+-";
constexpr int figureCharacterCount = sizeof(figureCharacters) - 1;

int figureIndex(char character)
{
    if (character >= '0' && character <= '9')
        return character - '0';
    if (character == ',')
        return 10;
    if (character == '+')
        return 11;
    return 12; // '-'
}

const char *const wordTexts[] = {"개 · ",  "지불 ", "원 · ",          "손익 ",     "메소",     " / ",
                                 "원",      " (손익 미정 ", "개)", " (손익 미정 메소 ", "개 / 원 "};

// The text laid out on one line, for its glyphs and its measures.
QTextLine layOut(QTextLayout &layout)
{
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return line;
}

} // namespace

TotalsBar::TotalsBar(QWidget *parent)
    : QWidget(parent)
{
    static_assert(sizeof(wordTexts) / sizeof(wordTexts[0]) == WordCount, "a text for every word");
    setObjectName(QStringLiteral("totalsBar"));
    // Never wider than the whole line; narrower when the window is, down to
    // the profits.
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    // The bar fills its own background: nothing under it is painted again.
    setAttribute(Qt::WA_OpaquePaintEvent);
    prepareFont();
    relayout();
}

void TotalsBar::setTotals(const LedgerTotals &totals)
{
    m_totals = totals;
    m_runsKnown = false;
    std::swap(m_line, m_previous);
    const int leftOut = m_leftOut;
    const qreal moved = shift();
    build(totals, m_line);
    fit();
    const QRegion changed = damage(m_previous, leftOut, moved);
    if (!changed.isEmpty())
        update(changed);
}

// The line's words and figures, left to right, as LedgerTotals::summary()
// writes them.
void TotalsBar::build(const LedgerTotals &totals, Line &line)
{
    line.segments.clear();
    qreal x = margin;
    const auto word = [&](Word word, const QColor &colour, int part) {
        Segment segment;
        segment.word = word;
        segment.colour = colour;
        segment.part = part;
        segment.x = x;
        segment.width = m_words[word].width;
        x += segment.width;
        line.segments.append(segment);
    };
    const auto figure = [&](int figure, ProfitMath::Int128 value, bool plus, const QColor &colour, int part) {
        setFigure(line, figure, value, plus);
        Segment segment;
        segment.figure = figure;
        segment.colour = colour;
        segment.part = part;
        segment.x = x;
        segment.width = m_slots[figure];
        x += segment.width;
        line.segments.append(segment);
    };
    const QColor meso = colourOf(totals.profitMesoSign());
    const QColor won = colourOf(totals.profitWonSign());
    figure(0, totals.itemCount(), false, QColor(), 0);
    word(CountWord, QColor(), 0);
    word(PaidWord, QColor(), 1);
    figure(1, totals.wonPaid(), false, QColor(), 1);
    word(PaidEndWord, QColor(), 1);
    word(ProfitWord, QColor(), 2);
    figure(2, totals.profitMeso(), true, meso, 2);
    word(MesoWord, meso, 2);
    word(SlashWord, QColor(), 2);
    figure(3, totals.profitWon(), true, won, 2);
    word(WonWord, won, 2);
    const int64_t unknownMeso = totals.undefinedMesoCount();
    const int64_t unknownWon = totals.undefinedWonCount();
    if (unknownMeso == unknownWon && unknownMeso > 0) {
        word(UnknownWord, QColor(), 2);
        figure(4, unknownMeso, false, QColor(), 2);
        word(UnknownEndWord, QColor(), 2);
    } else if (unknownMeso != unknownWon) {
        word(UnknownMesoWord, QColor(), 2);
        figure(4, unknownMeso, false, QColor(), 2);
        word(UnknownWonWord, QColor(), 2);
        figure(5, unknownWon, false, QColor(), 2);
        word(UnknownEndWord, QColor(), 2);
    }
    line.end = x;
}

// A figure is set right-aligned in a slot of its own, as wide as the widest
// figure it held lately, so that a total that loses or gains a digit (a
// count going from 100,000 to 99,999 and back) moves nothing after it.
// A slot shrinks once it is two digits too wide, so gaps stay small.
void TotalsBar::setFigure(Line &line, int index, ProfitMath::Int128 value, bool plus)
{
    Figure &figure = line.figures[index];
    int length = 0;
    if (plus && value > 0)
        figure.text[length++] = '+';
    length += ProfitMath::formatThousands128(value, figure.text.data() + length);
    figure.length = length;
    qreal width = 0;
    qreal digit = 0;
    if (m_figuresUsable) {
        for (int i = 0; i < length; ++i) {
            const int character = figureIndex(figure.text[i]);
            figure.glyphs[i] = m_figureGlyphs[character];
            figure.offsets[i] = width;
            width += m_figureAdvances[character];
        }
        digit = m_figureAdvances[0];
    } else {
        const QFontMetricsF metrics(font());
        width = metrics.horizontalAdvance(QString::fromLatin1(figure.text.data(), length));
        digit = metrics.horizontalAdvance(QLatin1Char('0'));
    }
    qreal &slot = m_slots[index];
    if (width > slot || width < slot - 2 * digit)
        slot = width;
    for (int i = 0; i < length; ++i)
        figure.offsets[i] += slot - width;
}

void TotalsBar::prepareFont()
{
    for (int word = 0; word < WordCount; ++word) {
        Label &label = m_words[word];
        label.text = QString::fromUtf8(wordTexts[word]);
        QTextLayout layout(label.text, font());
        const QTextLine line = layOut(layout);
        label.runs = layout.glyphRuns();
        label.width = line.horizontalAdvance();
        label.ascent = line.ascent();
        // Where each glyph's room ends: at the next glyph, or at the end.
        QVector<qreal> starts;
        for (const QGlyphRun &run : qAsConst(label.runs)) {
            for (const QPointF &position : run.positions())
                starts.append(position.x());
        }
        std::sort(starts.begin(), starts.end());
        label.glyphEnds.clear();
        for (const QGlyphRun &run : qAsConst(label.runs)) {
            QVector<qreal> ends;
            for (const QPointF &position : run.positions()) {
                const auto next = std::upper_bound(starts.cbegin(), starts.cend(), position.x());
                ends.append(next == starts.cend() ? label.width : *next);
            }
            label.glyphEnds.append(ends);
        }
    }

    // The digits as the font draws them, from whichever face Qt picks.
    QTextLayout digits(QString::fromLatin1(figureCharacters), font());
    layOut(digits);
    const QList<QGlyphRun> runs = digits.glyphRuns();
    m_figuresUsable = false;
    if (runs.size() == 1 && runs.first().glyphIndexes().size() == figureCharacterCount) {
        m_rawFont = runs.first().rawFont();
        const QVector<quint32> glyphs = runs.first().glyphIndexes();
        const QVector<QPointF> advances = m_rawFont.advancesForGlyphIndexes(glyphs);
        m_figuresUsable = m_rawFont.isValid() && advances.size() == figureCharacterCount
            && std::find(glyphs.begin(), glyphs.end(), 0u) == glyphs.end();
        for (int i = 0; m_figuresUsable && i < figureCharacterCount; ++i) {
            m_figureGlyphs[i] = glyphs[i];
            m_figureAdvances[i] = advances[i].x();
        }
    }

    // One baseline for the whole line, low enough for every word it can
    // hold, whichever font draws its Hangul.
    const QFontMetricsF metrics(font());
    m_ascent = metrics.ascent();
    m_descent = metrics.descent();
    QTextLayout sample(QString::fromUtf8("0개 · 지불 0원 · 손익 0메소 / 0원 (손익 미정 메소 0개 / 원 0개)"), font());
    const QTextLine line = layOut(sample);
    m_ascent = std::max(m_ascent, line.ascent());
    m_descent = std::max(m_descent, line.descent());
    if (m_figuresUsable) {
        m_ascent = std::max(m_ascent, m_rawFont.ascent());
        m_descent = std::max(m_descent, m_rawFont.descent());
    }
}

void TotalsBar::relayout()
{
    m_slots.fill(0);
    m_width = 0;
    m_minimumWidth = 0;
    build(m_totals, m_line);
    fit();
    updateGeometry();
    update();
}

// The line as this width shows it: whole when it fits, else without the
// count, else only the profits.
void TotalsBar::fit()
{
    m_dropped.fill(0);
    for (const Segment &segment : qAsConst(m_line.segments)) {
        for (int part = segment.part + 1; part < 3; ++part)
            m_dropped[part] += segment.width;
    }
    const qreal whole = m_line.end + margin;
    // What the layout needs to know.
    const int wholeWidth = static_cast<int>(std::ceil(whole));
    const int profitsWidth = static_cast<int>(std::ceil(whole - m_dropped[2]));
    if (wholeWidth > m_width || profitsWidth > m_minimumWidth) {
        m_width = std::max(m_width, wholeWidth);
        m_minimumWidth = std::max(m_minimumWidth, profitsWidth);
        updateGeometry();
    }
    m_leftOut = 0;
    while (m_leftOut < 2 && whole - m_dropped[m_leftOut] > width())
        ++m_leftOut;
}

qreal TotalsBar::advanceOf(const Figure &figure, int glyph) const
{
    return m_figureAdvances[figureIndex(figure.text[glyph])];
}

QRect TotalsBar::extent(qreal x, qreal width) const
{
    return QRectF(x - overhang, 0, width + 2 * overhang, height()).toAlignedRect();
}

// What has to be drawn again to turn the line before into this one: a
// figure whose glyphs all stay in place only where a character changed,
// anything else that moved, changed or changed colour where it was and
// where it is.
QRegion TotalsBar::damage(const Line &before, int beforeLeftOut, qreal beforeShift)
{
    m_stretches.clear();
    const Line &after = m_line;
    const qreal afterShift = shift();
    const int count = std::max(before.segments.size(), after.segments.size());
    for (int i = 0; i < count; ++i) {
        const Segment *old = i < before.segments.size() ? &before.segments[i] : nullptr;
        const Segment *now = i < after.segments.size() ? &after.segments[i] : nullptr;
        if (old && old->part < beforeLeftOut)
            old = nullptr;
        if (now && now->part < m_leftOut)
            now = nullptr;
        const qreal oldX = old ? old->x - beforeShift : 0;
        const qreal nowX = now ? now->x - afterShift : 0;
        if (old && now && old->word == now->word && old->figure == now->figure && old->colour == now->colour
            && oldX == nowX && old->width == now->width) {
            if (now->word >= 0)
                continue;
            const Figure &was = before.figures[now->figure];
            const Figure &is = after.figures[now->figure];
            if (was.length == is.length && std::equal(was.text.cbegin(), was.text.cbegin() + was.length, is.text.cbegin()))
                continue;
            if (m_figuresUsable && was.length == is.length
                && std::equal(was.offsets.cbegin(), was.offsets.cbegin() + was.length, is.offsets.cbegin())) {
                for (int glyph = 0; glyph < is.length; ++glyph) {
                    if (was.glyphs[glyph] != is.glyphs[glyph])
                        m_stretches.append(extent(nowX + is.offsets[glyph], advanceOf(is, glyph)));
                }
                continue;
            }
        }
        if (old)
            m_stretches.append(extent(oldX, old->width));
        if (now)
            m_stretches.append(extent(nowX, now->width));
    }
    if (m_stretches.isEmpty())
        return QRegion();
    // Every stretch spans the bar's height: the region is a row of them,
    // merged where they touch.
    std::sort(m_stretches.begin(), m_stretches.end(),
              [](const QRect &a, const QRect &b) { return a.left() < b.left(); });
    int merged = 0;
    for (int i = 1; i < m_stretches.size(); ++i) {
        if (m_stretches[i].left() <= m_stretches[merged].right() + 1)
            m_stretches[merged].setRight(std::max(m_stretches[merged].right(), m_stretches[i].right()));
        else
            m_stretches[++merged] = m_stretches[i];
    }
    QRegion region;
    region.setRects(m_stretches.constData(), merged + 1);
    return region;
}

const TotalsBar::Run &TotalsBar::run(Piece piece) const
{
    if (!m_runsKnown) {
        const LedgerTotals::Text text = m_totals.text();
        const auto set = [this](Piece piece, QString runText, const QColor &colour) {
            m_runs[piece].text = std::move(runText);
            m_runs[piece].colour = colour;
        };
        set(Plain, text.count + QString::fromUtf8(" · ") + text.paid + QString::fromUtf8(" · 손익 "), QColor());
        set(ProfitMeso, text.profitMeso, colourOf(text.profitMesoSign));
        set(Slash, QStringLiteral(" / "), QColor());
        set(ProfitWon, text.profitWon, colourOf(text.profitWonSign));
        set(Undefined, text.undefined.isEmpty() ? QString() : QStringLiteral(" (") + text.undefined + QLatin1Char(')'),
            QColor());
        m_runsKnown = true;
    }
    return m_runs[piece];
}

QString TotalsBar::text() const
{
    QString line;
    for (int piece = 0; piece < PieceCount; ++piece)
        line += run(static_cast<Piece>(piece)).text;
    return line;
}

QString TotalsBar::textOf(const Line &line, const Segment &segment) const
{
    if (segment.word >= 0)
        return m_words[segment.word].text;
    const Figure &figure = line.figures[segment.figure];
    return QString::fromLatin1(figure.text.data(), figure.length);
}

QString TotalsBar::shownText() const
{
    QString shown;
    for (const Segment &segment : m_line.segments) {
        if (segment.part >= m_leftOut)
            shown += textOf(m_line, segment);
    }
    return shown;
}

qreal TotalsBar::baseline() const
{
    return std::round((height() - (m_ascent + m_descent)) / 2 + m_ascent);
}

QSize TotalsBar::sizeHint() const
{
    // No taller than the status bar's own line, unless the Hangul needs it.
    return QSize(m_width, static_cast<int>(std::ceil(m_ascent + m_descent)));
}

QSize TotalsBar::minimumSizeHint() const
{
    return QSize(m_minimumWidth, sizeHint().height());
}

bool TotalsBar::event(QEvent *event)
{
    // A shortened line shows itself whole as a tooltip.
    if (event->type() == QEvent::ToolTip) {
        if (isShortened())
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void TotalsBar::changeEvent(QEvent *event)
{
    // Another font lays the line out anew.
    if (event->type() == QEvent::FontChange) {
        prepareFont();
        relayout();
    }
    QWidget::changeEvent(event);
}

void TotalsBar::resizeEvent(QResizeEvent *event)
{
    fit();
    QWidget::resizeEvent(event);
}

void TotalsBar::paintEvent(QPaintEvent *event)
{
    const QRegion &area = event->region();
    QPainter painter(this);
    painter.fillRect(area.boundingRect(), palette().window());
    const QColor plain = palette().color(QPalette::WindowText);
    const qreal base = baseline();
    const qreal moved = shift();
    QVector<quint32> glyphs;
    QVector<QPointF> positions;
    for (const Segment &segment : qAsConst(m_line.segments)) {
        if (segment.part < m_leftOut)
            continue;
        const qreal x = segment.x - moved;
        if (!area.intersects(extent(x, segment.width)))
            continue;
        painter.setPen(segment.colour.isValid() ? segment.colour : plain);
        if (segment.word >= 0) {
            // Only the glyphs the repainted area reaches: a changed digit
            // beside a word repaints the word's nearest letter.
            const Label &label = m_words[segment.word];
            const QPointF origin(x, base - label.ascent);
            for (int r = 0; r < label.runs.size(); ++r) {
                const QGlyphRun &run = label.runs.at(r);
                const QVector<quint32> indexes = run.glyphIndexes();
                const QVector<QPointF> places = run.positions();
                const QVector<qreal> &ends = label.glyphEnds.at(r);
                glyphs.clear();
                positions.clear();
                for (int glyph = 0; glyph < indexes.size(); ++glyph) {
                    if (area.intersects(extent(x + places[glyph].x(), ends[glyph] - places[glyph].x()))) {
                        glyphs.append(indexes[glyph]);
                        positions.append(places[glyph] + origin);
                    }
                }
                if (glyphs.size() == indexes.size()) {
                    painter.drawGlyphRun(origin, run);
                } else if (!glyphs.isEmpty()) {
                    QGlyphRun part = run;
                    part.setGlyphIndexes(glyphs);
                    part.setPositions(positions);
                    painter.drawGlyphRun(QPointF(), part);
                }
            }
            continue;
        }
        const Figure &figure = m_line.figures[segment.figure];
        if (!m_figuresUsable) {
            const QString text = textOf(m_line, segment);
            painter.drawText(QPointF(x + segment.width - QFontMetricsF(font()).horizontalAdvance(text), base), text);
            continue;
        }
        // Only the glyphs the repainted area reaches.
        glyphs.clear();
        positions.clear();
        for (int glyph = 0; glyph < figure.length; ++glyph) {
            if (area.intersects(extent(x + figure.offsets[glyph], advanceOf(figure, glyph)))) {
                glyphs.append(figure.glyphs[glyph]);
                positions.append(QPointF(x + figure.offsets[glyph], base));
            }
        }
        QGlyphRun run;
        run.setRawFont(m_rawFont);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(), run);
    }
}
