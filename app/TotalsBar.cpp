#include "TotalsBar.h"

#include "AuctionRows.h"
#include "LedgerTotals.h"

#include <QEvent>
#include <QHelpEvent>
#include <QFontMetricsF>
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

int figureIndex(QChar character)
{
    const ushort code = character.unicode();
    if (code >= '0' && code <= '9')
        return code - '0';
    if (code == ',')
        return 10;
    if (code == '+')
        return 11;
    if (code == '-')
        return 12;
    return -1;
}

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
    setObjectName(QStringLiteral("totalsBar"));
    // Never wider than the whole line; narrower when the window is, down to
    // the profits.
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    setAttribute(Qt::WA_OpaquePaintEvent);
    prepareFont();
    setTotals(LedgerTotals());
}

void TotalsBar::setTotals(const LedgerTotals &totals)
{
    setRuns(totals);
    m_line = segmentsOf();
    QVector<Segment> shown = fitted();
    const QRegion changed = damage(m_segments, shown);
    m_segments = std::move(shown);
    if (!changed.isEmpty())
        update(changed);
}

void TotalsBar::setRuns(const LedgerTotals &totals)
{
    const LedgerTotals::Text text = totals.text();
    const auto set = [this](Piece piece, QString runText, const QColor &colour) {
        m_runs[piece].text = std::move(runText);
        m_runs[piece].colour = colour;
    };
    m_parts[0] = text.count + QString::fromUtf8(" · ");
    m_parts[1] = text.paid + QString::fromUtf8(" · ");
    set(Plain, m_parts[0] + m_parts[1] + QString::fromUtf8("손익 "), QColor());
    set(ProfitMeso, text.profitMeso, colourOf(text.profitMesoSign));
    set(Slash, QStringLiteral(" / "), QColor());
    set(ProfitWon, text.profitWon, colourOf(text.profitWonSign));
    set(Undefined, text.undefined.isEmpty() ? QString() : QStringLiteral(" (") + text.undefined + QLatin1Char(')'),
        QColor());
}

QVector<TotalsBar::Segment> TotalsBar::segmentsOf()
{
    QVector<Segment> segments;
    qreal x = margin;
    int figures = 0;
    for (int piece = 0; piece < PieceCount; ++piece) {
        const Run &run = m_runs[piece];
        const QString &text = run.text;
        // The count and the won paid can be left out when the window is
        // narrow: they begin a segment of their own.
        const int countEnd = piece == Plain ? m_parts[0].size() : 0;
        const int paidEnd = piece == Plain ? countEnd + m_parts[1].size() : 0;
        int start = 0;
        while (start < text.size()) {
            const int partEnd = start < countEnd ? countEnd : start < paidEnd ? paidEnd : text.size();
            const bool figure = figureIndex(text.at(start)) >= 0;
            int end = start + 1;
            while (end < partEnd && (figureIndex(text.at(end)) >= 0) == figure)
                ++end;
            Segment segment;
            segment.text = text.mid(start, end - start);
            segment.colour = run.colour;
            segment.part = start < countEnd ? 0 : start < paidEnd ? 1 : 2;
            segment.x = x;
            if (!figure || !setFigure(segment, figures++))
                setLabel(segment);
            x += segment.width;
            segments.append(std::move(segment));
            start = end;
        }
    }
    return segments;
}

// A figure is set right-aligned in a slot of its own, as wide as the widest
// figure it held lately, so that a total that loses or gains a digit (a
// count going from 100,000 to 99,999 and back) moves nothing after it.
// A slot shrinks once it is two digits too wide, so gaps stay small.
bool TotalsBar::setFigure(Segment &segment, int slot)
{
    if (!m_figuresUsable)
        return false;
    const int count = segment.text.size();
    segment.figure = true;
    segment.glyphs.resize(count);
    segment.offsets.resize(count);
    segment.advances.resize(count);
    qreal offset = 0;
    for (int i = 0; i < count; ++i) {
        const int index = figureIndex(segment.text.at(i));
        segment.glyphs[i] = m_figureGlyphs[index];
        segment.offsets[i] = offset;
        segment.advances[i] = m_figureAdvances[index];
        offset += m_figureAdvances[index];
    }
    if (slot >= m_slots.size())
        m_slots.resize(slot + 1);
    qreal &width = m_slots[slot];
    if (offset > width || offset < width - 2 * m_figureAdvances[0])
        width = offset;
    for (qreal &glyphOffset : segment.offsets)
        glyphOffset += width - offset;
    segment.width = width;
    return true;
}

void TotalsBar::setLabel(Segment &segment)
{
    const auto cached = m_labels.constFind(segment.text);
    if (cached != m_labels.constEnd()) {
        segment.runs = cached->runs;
        segment.glyphEnds = cached->glyphEnds;
        segment.width = cached->width;
        segment.ascent = cached->ascent;
        return;
    }
    QTextLayout layout(segment.text, font());
    const QTextLine line = layOut(layout);
    segment.figure = false;
    segment.runs = layout.glyphRuns();
    // Where each glyph's room ends: at the next glyph, or at the label's end.
    QVector<qreal> starts;
    for (const QGlyphRun &run : qAsConst(segment.runs)) {
        for (const QPointF &position : run.positions())
            starts.append(position.x());
    }
    std::sort(starts.begin(), starts.end());
    segment.glyphEnds.clear();
    for (const QGlyphRun &run : qAsConst(segment.runs)) {
        QVector<qreal> ends;
        for (const QPointF &position : run.positions()) {
            const auto next = std::upper_bound(starts.cbegin(), starts.cend(), position.x());
            ends.append(next == starts.cend() ? line.horizontalAdvance() : *next);
        }
        segment.glyphEnds.append(ends);
    }
    segment.width = line.horizontalAdvance();
    segment.ascent = line.ascent();
    // The labels are the few fixed words of the line; a figure laid out
    // here (a font without digits) would only fill the cache.
    if (figureIndex(segment.text.at(0)) < 0)
        m_labels.insert(segment.text, segment);
}

void TotalsBar::prepareFont()
{
    m_labels.clear();
    m_slots.clear();
    m_rawFont = QRawFont::fromFont(font());
    const QVector<quint32> glyphs = m_rawFont.glyphIndexesForString(QString::fromLatin1(figureCharacters));
    m_figuresUsable = m_rawFont.isValid() && glyphs.size() == figureCharacterCount
        && std::find(glyphs.begin(), glyphs.end(), 0u) == glyphs.end();
    if (m_figuresUsable) {
        const QVector<QPointF> advances = m_rawFont.advancesForGlyphIndexes(glyphs);
        for (int i = 0; i < figureCharacterCount; ++i) {
            m_figureGlyphs[i] = glyphs[i];
            m_figureAdvances[i] = advances[i].x();
        }
    }
    // One baseline for the whole line, low enough for every word it can
    // hold, whichever font draws its Hangul.
    QTextLayout sample(QString::fromUtf8("0개 · 지불 0원 · 손익 0메소 / 0원 (손익 미정 메소 0개 / 원 0개)"), font());
    const QTextLine line = layOut(sample);
    const QFontMetricsF metrics(font());
    m_ascent = std::max({metrics.ascent(), line.ascent(), m_figuresUsable ? m_rawFont.ascent() : 0.0});
    m_descent = std::max({metrics.descent(), line.descent(), m_figuresUsable ? m_rawFont.descent() : 0.0});
}

void TotalsBar::relayout()
{
    m_line = segmentsOf();
    m_width = 0;
    m_minimumWidth = 0;
    m_segments = fitted();
    updateGeometry();
    update();
}

// The line as this width shows it: whole when it fits, else without the
// count, else only the profits.
QVector<TotalsBar::Segment> TotalsBar::fitted()
{
    const qreal whole = endOf(m_line) + margin;
    std::array<qreal, 3> dropped {0, 0, 0};
    for (const Segment &segment : qAsConst(m_line)) {
        for (int part = segment.part + 1; part < 3; ++part)
            dropped[part] += segment.width;
    }
    // What the layout needs to know; both only grow, so that a shorter line
    // never moves the status bar around.
    const int wholeWidth = static_cast<int>(std::ceil(whole));
    const int profitsWidth = static_cast<int>(std::ceil(whole - dropped[2]));
    if (wholeWidth > m_width || profitsWidth > m_minimumWidth) {
        m_width = std::max(m_width, wholeWidth);
        m_minimumWidth = std::max(m_minimumWidth, profitsWidth);
        updateGeometry();
    }
    int leftOut = 0;
    while (leftOut < 2 && whole - dropped[leftOut] > width())
        ++leftOut;
    m_shortened = leftOut > 0;
    if (!m_shortened)
        return m_line;
    QVector<Segment> shown;
    shown.reserve(m_line.size());
    for (const Segment &segment : qAsConst(m_line)) {
        if (segment.part < leftOut)
            continue;
        shown.append(segment);
        shown.last().x -= dropped[leftOut];
    }
    return shown;
}

qreal TotalsBar::endOf(const QVector<Segment> &segments)
{
    return segments.isEmpty() ? margin : segments.last().x + segments.last().width;
}

QRect TotalsBar::extent(const Segment &segment) const
{
    return QRectF(segment.x - overhang, 0, segment.width + 2 * overhang, height()).toAlignedRect();
}

QRect TotalsBar::glyphExtent(const Segment &segment, int glyph) const
{
    return QRectF(segment.x + segment.offsets[glyph] - overhang, 0, segment.advances[glyph] + 2 * overhang, height())
        .toAlignedRect();
}

// What has to be drawn again to turn one line into the other: a figure
// whose glyphs all stay in place only where a character changed, anything
// else that moved, changed or changed colour where it was and where it is.
QRegion TotalsBar::damage(const QVector<Segment> &before, const QVector<Segment> &after) const
{
    // Every stretch spans the bar's height: the region is a row of
    // stretches, merged where they touch.
    QVector<QRect> stretches;
    const auto add = [&stretches](const QRect &stretch) { stretches.append(stretch); };
    const int count = std::max(before.size(), after.size());
    for (int i = 0; i < count; ++i) {
        const Segment *old = i < before.size() ? &before[i] : nullptr;
        const Segment *now = i < after.size() ? &after[i] : nullptr;
        if (old && now && old->figure == now->figure && old->colour == now->colour && old->x == now->x
            && old->width == now->width) {
            if (!now->figure && old->text == now->text)
                continue;
            if (now->figure && old->offsets == now->offsets) {
                for (int glyph = 0; glyph < now->glyphs.size(); ++glyph) {
                    if (old->glyphs[glyph] != now->glyphs[glyph])
                        add(glyphExtent(*now, glyph));
                }
                continue;
            }
        }
        if (old)
            add(extent(*old));
        if (now)
            add(extent(*now));
    }
    if (stretches.isEmpty())
        return QRegion();
    std::sort(stretches.begin(), stretches.end(),
              [](const QRect &a, const QRect &b) { return a.left() < b.left(); });
    int merged = 0;
    for (int i = 1; i < stretches.size(); ++i) {
        if (stretches[i].left() <= stretches[merged].right() + 1)
            stretches[merged].setRight(std::max(stretches[merged].right(), stretches[i].right()));
        else
            stretches[++merged] = stretches[i];
    }
    stretches.resize(merged + 1);
    QRegion region;
    region.setRects(stretches.constData(), stretches.size());
    return region;
}

QString TotalsBar::text() const
{
    QString line;
    for (const Run &run : m_runs)
        line += run.text;
    return line;
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
        if (m_shortened)
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void TotalsBar::resizeEvent(QResizeEvent *event)
{
    m_segments = fitted();
    QWidget::resizeEvent(event);
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

void TotalsBar::paintEvent(QPaintEvent *event)
{
    const QRegion &area = event->region();
    QPainter painter(this);
    painter.fillRect(area.boundingRect(), palette().window());
    const QColor plain = palette().color(QPalette::WindowText);
    const qreal base = baseline();
    QVector<quint32> glyphs;
    QVector<QPointF> positions;
    for (const Segment &segment : qAsConst(m_segments)) {
        if (!area.intersects(extent(segment)))
            continue;
        painter.setPen(segment.colour.isValid() ? segment.colour : plain);
        if (!segment.figure) {
            // Only the glyphs the repainted area reaches: a changed digit
            // beside a label repaints the label's nearest letter.
            const QPointF origin(segment.x, base - segment.ascent);
            for (int r = 0; r < segment.runs.size(); ++r) {
                const QGlyphRun &run = segment.runs.at(r);
                const QVector<quint32> indexes = run.glyphIndexes();
                const QVector<QPointF> places = run.positions();
                const QVector<qreal> &ends = segment.glyphEnds.at(r);
                glyphs.clear();
                positions.clear();
                for (int glyph = 0; glyph < indexes.size(); ++glyph) {
                    const qreal left = segment.x + places[glyph].x() - overhang;
                    const qreal right = segment.x + ends[glyph] + overhang;
                    if (area.intersects(QRectF(left, 0, right - left, height()).toAlignedRect())) {
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
        // Only the glyphs the repainted area reaches.
        glyphs.clear();
        positions.clear();
        for (int glyph = 0; glyph < segment.glyphs.size(); ++glyph) {
            if (area.intersects(glyphExtent(segment, glyph))) {
                glyphs.append(segment.glyphs[glyph]);
                positions.append(QPointF(segment.x + segment.offsets[glyph], base));
            }
        }
        QGlyphRun run;
        run.setRawFont(m_rawFont);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(), run);
    }
}
