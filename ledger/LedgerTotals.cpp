#include "LedgerTotals.h"

namespace {

QString signedAmount(LedgerTotals::Sum value)
{
    const QString digits = QString::fromLatin1(ProfitMath::formatThousands128(value));
    return value > 0 ? QLatin1Char('+') + digits : digits;
}

int signOf(LedgerTotals::Sum value)
{
    return value > 0 ? 1 : (value < 0 ? -1 : 0);
}

} // namespace

void LedgerTotals::add(const AuctionItem &item)
{
    const AuctionItem::Figures figures = item.figures();
    apply(figures.wonCost, figures.profitMeso, figures.profitWon, 1);
}

void LedgerTotals::add(int32_t wonCost, const std::optional<int64_t> &profitMeso,
                       const std::optional<int64_t> &profitWon)
{
    apply(wonCost, profitMeso, profitWon, 1);
}

void LedgerTotals::remove(const AuctionItem &item)
{
    const AuctionItem::Figures figures = item.figures();
    apply(figures.wonCost, figures.profitMeso, figures.profitWon, -1);
}

void LedgerTotals::clear()
{
    *this = LedgerTotals();
}

void LedgerTotals::recount(const ItemMap &items)
{
    clear();
    for (const auto &entry : items)
        add(entry.second);
}

void LedgerTotals::apply(int32_t wonCost, const std::optional<int64_t> &profitMeso,
                         const std::optional<int64_t> &profitWon, int direction)
{
    // Every figure is widened before it is added, so no sum of 64-bit
    // figures can overflow short of 2^63 items.
    m_itemCount += direction;
    m_wonPaid += direction * static_cast<Sum>(wonCost);
    if (profitMeso)
        m_profitMeso += direction * static_cast<Sum>(*profitMeso);
    else
        m_undefinedMeso += direction;
    if (profitWon)
        m_profitWon += direction * static_cast<Sum>(*profitWon);
    else
        m_undefinedWon += direction;
}

LedgerTotals::Text LedgerTotals::text() const
{
    Text text;
    text.count = QString::fromLatin1(ProfitMath::formatThousands(m_itemCount)) + QString::fromUtf8("개");
    if (m_foundAmong)
        text.count = QString::fromUtf8("검색 결과 %1 / %2개")
                         .arg(QString::fromLatin1(ProfitMath::formatThousands(m_itemCount)),
                              QString::fromLatin1(ProfitMath::formatThousands(*m_foundAmong)));
    text.paid = QString::fromUtf8("지불 ") + QString::fromLatin1(ProfitMath::formatThousands128(m_wonPaid))
        + QString::fromUtf8("원");
    text.profitMeso = signedAmount(m_profitMeso) + QString::fromUtf8("메소");
    text.profitWon = signedAmount(m_profitWon) + QString::fromUtf8("원");
    if (m_undefinedMeso == m_undefinedWon && m_undefinedMeso > 0) {
        text.undefined = QString::fromUtf8("손익 미정 %1개").arg(QString::fromLatin1(ProfitMath::formatThousands(m_undefinedMeso)));
    } else if (m_undefinedMeso != m_undefinedWon) {
        text.undefined = QString::fromUtf8("손익 미정 메소 %1개 / 원 %2개")
                             .arg(QString::fromLatin1(ProfitMath::formatThousands(m_undefinedMeso)),
                                  QString::fromLatin1(ProfitMath::formatThousands(m_undefinedWon)));
    }
    text.profitMesoSign = profitMesoSign();
    text.profitWonSign = profitWonSign();
    return text;
}

std::optional<int> LedgerTotals::profitMesoSign() const
{
    return m_undefinedMeso < m_itemCount ? std::optional<int>(signOf(m_profitMeso)) : std::nullopt;
}

std::optional<int> LedgerTotals::profitWonSign() const
{
    return m_undefinedWon < m_itemCount ? std::optional<int>(signOf(m_profitWon)) : std::nullopt;
}

QVector<LedgerTotals::Run> LedgerTotals::runs() const
{
    const Text parts = text();
    QVector<Run> runs{{parts.count + QString::fromUtf8(" · "), std::nullopt},
                      {parts.paid + QString::fromUtf8(" · "), std::nullopt},
                      {QString::fromUtf8("손익 "), std::nullopt},
                      {parts.profitMeso, parts.profitMesoSign},
                      {QStringLiteral(" / "), std::nullopt},
                      {parts.profitWon, parts.profitWonSign}};
    if (!parts.undefined.isEmpty())
        runs.append({QStringLiteral(" (") + parts.undefined + QLatin1Char(')'), std::nullopt});
    return runs;
}

QString LedgerTotals::summary() const
{
    QString line;
    for (const Run &run : runs())
        line += run.text;
    return line;
}
