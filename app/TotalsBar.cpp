#include "TotalsBar.h"

#include "AuctionRows.h"
#include "LedgerTotals.h"

#include <QEvent>
#include <QPainter>

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

} // namespace

TotalsBar::TotalsBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("totalsBar"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setTotals(LedgerTotals());
}

void TotalsBar::setTotals(const LedgerTotals &totals)
{
    const LedgerTotals::Text text = totals.text();
    setRun(Plain, text.count + QString::fromUtf8(" · ") + text.paid + QString::fromUtf8(" · 손익 "), QColor());
    setRun(ProfitMeso, text.profitMeso, colourOf(text.profitMesoSign));
    setRun(Slash, QStringLiteral(" / "), QColor());
    setRun(ProfitWon, text.profitWon, colourOf(text.profitWonSign));
    setRun(Undefined, text.undefined.isEmpty() ? QString() : QStringLiteral(" (") + text.undefined + QLatin1Char(')'),
           QColor());
    const int width = lineWidth();
    if (width > m_width) {
        m_width = width;
        updateGeometry();
    }
    update();
}

void TotalsBar::setRun(Piece piece, const QString &text, const QColor &colour)
{
    m_runs[piece].colour = colour;
    if (m_runs[piece].text == text && !text.isEmpty())
        return;
    m_runs[piece].text = text;
    m_laidOut[piece].setText(text);
    m_laidOut[piece].setTextFormat(Qt::PlainText);
    m_laidOut[piece].prepare(QTransform(), font());
}

QString TotalsBar::text() const
{
    QString line;
    for (const Run &run : m_runs)
        line += run.text;
    return line;
}

int TotalsBar::lineWidth() const
{
    qreal width = 2 * margin;
    for (const QStaticText &run : m_laidOut)
        width += run.size().width();
    return static_cast<int>(std::ceil(width));
}

QSize TotalsBar::sizeHint() const
{
    return QSize(std::max(m_width, lineWidth()), fontMetrics().height() + 2);
}

void TotalsBar::changeEvent(QEvent *event)
{
    // Another font measures the line anew.
    if (event->type() == QEvent::FontChange) {
        for (QStaticText &run : m_laidOut)
            run.prepare(QTransform(), font());
        m_width = lineWidth();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

void TotalsBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    const QColor plain = palette().color(QPalette::WindowText);
    const qreal top = (height() - fontMetrics().height()) / 2.0;
    qreal x = margin;
    for (int piece = 0; piece < PieceCount; ++piece) {
        if (m_runs[piece].text.isEmpty())
            continue;
        painter.setPen(m_runs[piece].colour.isValid() ? m_runs[piece].colour : plain);
        painter.drawStaticText(QPointF(x, top), m_laidOut[piece]);
        x += m_laidOut[piece].size().width();
    }
}
