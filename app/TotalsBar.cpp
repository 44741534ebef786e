#include "TotalsBar.h"

#include "AuctionRows.h"

#include <QEvent>
#include <QLayout>
#include <QStatusBar>
#include <QtMath>

#include <algorithm>

TotalsBar::TotalsBar(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("totalsBar"));
    setTextFormat(Qt::RichText);
    // The line's end stays put while its figures gain or lose digits.
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setContentsMargins(4, 0, 4, 0);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    setTotals(LedgerTotals());
}

void TotalsBar::setTotals(const LedgerTotals &totals)
{
    m_runs = totals.runs();
    m_line = totals.summary();
    measure();
}

void TotalsBar::measure()
{
    m_width = qCeil(QFontMetricsF(font()).horizontalAdvance(m_line)) + contentsMargins().left() + contentsMargins().right();
    updateGeometry();
    // Laid out at once, so that the line is fitted to the room it gets.
    if (QLayout *layout = parentWidget() ? parentWidget()->layout() : nullptr)
        layout->activate();
    fit();
}

// The line as its room shows it: whole when it fits, else without the
// count, else without the won paid, else the end of the profits.
void TotalsBar::fit()
{
    const QFontMetricsF metrics(font());
    const int room = contentsRect().width();
    int from = 0;
    for (int run = 0; run < 2 && metrics.horizontalAdvance(m_line.mid(from)) > room; ++run)
        from += m_runs.at(run).text.size();
    m_shown = metrics.elidedText(m_line.mid(from), Qt::ElideLeft, room);
    // How much of the line's end is shown, after the ellipsis if any; each
    // run's part of it in the run's colour.
    int kept = 0;
    while (kept < m_shown.size() && m_shown.at(m_shown.size() - 1 - kept) == m_line.at(m_line.size() - 1 - kept))
        ++kept;
    QString html;
    for (int run = m_runs.size() - 1, left = kept; run >= 0 && left > 0; --run) {
        const LedgerTotals::Run &part = m_runs.at(run);
        const QString piece = part.text.right(left).toHtmlEscaped();
        left -= part.text.size();
        html.prepend(part.sign ? QStringLiteral("<span style=\"color:%1\">%2</span>")
                                     .arg(AuctionRows::signColour(*part.sign).name(), piece)
                               : piece);
    }
    html.prepend(m_shown.left(m_shown.size() - kept).toHtmlEscaped());
    setText(QStringLiteral("<span style=\"white-space:pre\">%1</span>").arg(html));
    setToolTip(isShortened() ? m_line : QString());
}

QSize TotalsBar::sizeHint() const
{
    return QSize(m_width, QLabel::sizeHint().height());
}

bool TotalsBar::event(QEvent *event)
{
    const bool handled = QLabel::event(event);
    const QEvent::Type type = event->type();
    if (auto *status = qobject_cast<QStatusBar *>(parentWidget()); status && type == QEvent::ParentChange) {
        connect(status, &QStatusBar::messageChanged, this, [this, status](const QString &message) {
            m_messageWidth = message.isEmpty() ? 0 : status->fontMetrics().horizontalAdvance(message);
            leaveRoom();
            measure();
        });
    } else if (type == QEvent::FontChange) {
        measure();
    } else if (type == QEvent::Resize) {
        fit();
    }
    if (type == QEvent::Resize || type == QEvent::Move)
        leaveRoom();
    return handled;
}

// Beside a message the line keeps its right end and starts after the
// message: QStatusBar writes it from 6 pixels in to 2 pixels short of its
// first permanent widget, and a few more keep the two apart.
void TotalsBar::leaveRoom()
{
    setMaximumWidth(m_messageWidth > 0 ? std::max(0, x() + width() - m_messageWidth - 12) : QWIDGETSIZE_MAX);
}
