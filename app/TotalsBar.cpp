#include "TotalsBar.h"

#include "AuctionRows.h"

#include <QEvent>
#include <QLayout>
#include <QStatusBar>
#include <QtMath>

TotalsBar::TotalsBar(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("totalsBar"));
    m_label->setTextFormat(Qt::RichText);
    // The line's end stays put while its figures gain or lose digits.
    m_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setContentsMargins(4, 0, 4, 0);
    setTotals(LedgerTotals());
}

void TotalsBar::setTotals(const LedgerTotals &totals)
{
    m_runs = totals.runs();
    m_line = totals.summary();
    measure();
}

// A line of another width (or any line, again) lays the status bar out at
// once, so that the line is fitted to the room it gets.
void TotalsBar::measure(bool again)
{
    const QMargins margins = contentsMargins();
    const int width = qCeil(QFontMetricsF(font()).horizontalAdvance(m_line)) + margins.left() + margins.right();
    fit();
    again = again || width != m_width;
    m_width = width;
    if (again) {
        updateGeometry();
        if (QLayout *layout = parentWidget() ? parentWidget()->layout() : nullptr)
            layout->activate();
    }
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
    // The line's end that is shown, after the ellipsis if any, run by run.
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
    m_label->setText(QStringLiteral("<span style=\"white-space:pre\">%1</span>").arg(html));
    setToolTip(isShortened() ? m_line : QString());
}

bool TotalsBar::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    const QEvent::Type type = event->type();
    if (auto *status = qobject_cast<QStatusBar *>(parentWidget()); status && type == QEvent::ParentChange) {
        connect(status, &QStatusBar::messageChanged, this, [this, status](const QString &message) {
            m_messageWidth = message.isEmpty() ? 0 : status->fontMetrics().horizontalAdvance(message);
            leaveRoom();
            measure(true); // before the status bar paints the message
        });
    } else if (type == QEvent::FontChange) {
        measure(true);
    } else if (type == QEvent::Resize) {
        m_label->setGeometry(contentsRect());
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
    setMaximumWidth(m_messageWidth > 0 ? qMax(0, x() + width() - m_messageWidth - 12) : QWIDGETSIZE_MAX);
}
