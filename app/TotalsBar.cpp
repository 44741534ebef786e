#include "TotalsBar.h"

#include "AuctionRows.h"
#include "LedgerTotals.h"

#include <QHBoxLayout>
#include <QLabel>

#include <optional>

namespace {

QLabel *addLabel(QHBoxLayout *layout, const char *objectName)
{
    auto *label = new QLabel;
    label->setObjectName(QString::fromLatin1(objectName));
    layout->addWidget(label);
    return label;
}

void colourBySign(QLabel *label, const std::optional<int> &sign)
{
    // A total that no item contributes to keeps the bar's own colour, as an
    // undefined profit cell does.
    if (!sign) {
        label->setPalette(QPalette());
        return;
    }
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, AuctionRows::signColour(*sign));
    label->setPalette(palette);
}

} // namespace

TotalsBar::TotalsBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("totalsBar"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_plain = addLabel(layout, "totalsPlainLabel");
    m_profitMeso = addLabel(layout, "totalsProfitMesoLabel");
    addLabel(layout, "totalsSlashLabel")->setText(QStringLiteral("/"));
    m_profitWon = addLabel(layout, "totalsProfitWonLabel");
    m_undefined = addLabel(layout, "totalsUndefinedLabel");
    setTotals(LedgerTotals());
}

void TotalsBar::setTotals(const LedgerTotals &totals)
{
    const LedgerTotals::Text text = totals.text();
    m_plain->setText(text.count + QString::fromUtf8(" · ") + text.paid + QString::fromUtf8(" · 손익"));
    m_profitMeso->setText(text.profitMeso);
    m_profitWon->setText(text.profitWon);
    colourBySign(m_profitMeso, text.profitMesoSign);
    colourBySign(m_profitWon, text.profitWonSign);
    m_undefined->setText(text.undefined.isEmpty() ? QString() : QLatin1Char('(') + text.undefined + QLatin1Char(')'));
    m_undefined->setVisible(!text.undefined.isEmpty());
}
