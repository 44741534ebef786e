#include "LoadNote.h"

#include "ItemRules.h"
#include "ProfitMath.h"

#include <QStringList>

namespace LoadNote {

namespace {

QString thousands(int64_t value)
{
    return QString::fromLatin1(ProfitMath::formatThousands(value));
}

// A setting as the file gave it, with its unit when it was read.
QString given(LedgerFile::Given how, const QString &read)
{
    switch (how) {
    case LedgerFile::Given::Missing:
        return QString::fromUtf8("없음");
    case LedgerFile::Given::Unreadable:
        return QString::fromUtf8("읽을 수 없는 값");
    case LedgerFile::Given::Read:
        break;
    }
    return read;
}

QString percent(double value)
{
    return QString::number(value) + QLatin1Char('%');
}

QString skipReason(LedgerFile::Skip skip)
{
    switch (skip) {
    case LedgerFile::Skip::NotAnItem:
        return QString::fromUtf8("아이템이 아님");
    case LedgerFile::Skip::NoName:
        return QString::fromUtf8("이름이 없음");
    case LedgerFile::Skip::PriceNotAboveZero:
        return QString::fromUtf8("가격이 0보다 큰 정수가 아님");
    case LedgerFile::Skip::CashPriceTooLarge:
        return QString::fromUtf8("캐시 가격이 ") + thousands(ItemRules::largestPrice(ItemRules::Price::Cash))
            + QString::fromUtf8("보다 큼");
    case LedgerFile::Skip::MesoPriceTooLarge:
        return QString::fromUtf8("메소 가격이 ") + thousands(ItemRules::largestPrice(ItemRules::Price::Meso))
            + QString::fromUtf8("보다 큼");
    }
    return QString();
}

// One line of the settings part: the file's value, the one in force, why.
QString settingLine(const char *name, const QString &file, const QString &inForce, const QString &why)
{
    QString line = QString::fromUtf8("- ") + QString::fromUtf8(name) + QString::fromUtf8(": ") + file
        + QString::fromUtf8(" → ") + inForce;
    if (!why.isEmpty())
        line += QString::fromUtf8(". ") + why;
    return line;
}

// The settings part: one line for each setting the load replaced.
QStringList settingLines(const LedgerFile::Contents &file, const InForce &inForce, const QString &ratioRefusal)
{
    using LedgerFile::Given;
    QStringList settings;
    if (!ratioRefusal.isEmpty()) {
        const QString kept = inForce.ratioSet ? thousands(inForce.rate) + QString::fromUtf8("원(쓰던 비율)")
                                              : QString::fromUtf8("세팅하지 않음");
        settings << settingLine("1억당 비율", given(file.rateGiven, thousands(file.rate) + QString::fromUtf8("원")),
                                kept, ratioRefusal);
    }
    if (file.feeGiven != Given::Read || file.fee != inForce.fee) {
        QString why;
        if (file.feeGiven == Given::Read)
            why = file.fee == 3 || file.fee == 5 ? QString::fromUtf8("비율이 세팅되지 않아 수수료를 바꿀 수 없습니다.")
                                                 : QString::fromUtf8("3% 또는 5%만 쓸 수 있습니다.");
        settings << settingLine("수수료", given(file.feeGiven, QString::number(file.fee) + QLatin1Char('%')),
                                QString::number(inForce.fee) + QLatin1Char('%'), why);
    }
    if (file.rateOfDiscountGiven != Given::Read || file.rateOfDiscount != inForce.rateOfDiscount) {
        QString why;
        if (file.rateOfDiscountGiven == Given::Read)
            why = file.rateOfDiscount < 0 || file.rateOfDiscount > 100
                ? QString::fromUtf8("0 ~ 100%만 쓸 수 있습니다.")
                : QString::fromUtf8("소수 둘째 자리까지만 쓸 수 있습니다.");
        settings << settingLine("캐시 충전 할인율", given(file.rateOfDiscountGiven, percent(file.rateOfDiscount)),
                                percent(inForce.rateOfDiscount), why);
    }
    return settings;
}

} // namespace

bool replacesSettings(const LedgerFile::Contents &file, const InForce &inForce, const QString &ratioRefusal)
{
    return !settingLines(file, inForce, ratioRefusal).isEmpty();
}

QString text(const LedgerFile::Contents &file, const InForce &inForce, const QString &ratioRefusal)
{
    QStringList skipped;
    if (const int count = file.skippedCount()) {
        skipped << QString::fromUtf8("건너뛴 아이템 %1개").arg(count);
        // The reasons in the order the window asks them: name, then prices.
        for (LedgerFile::Skip skip : {LedgerFile::Skip::NoName, LedgerFile::Skip::PriceNotAboveZero,
                                      LedgerFile::Skip::CashPriceTooLarge, LedgerFile::Skip::MesoPriceTooLarge,
                                      LedgerFile::Skip::NotAnItem})
            if (const int kind = file.skipped[static_cast<size_t>(skip)])
                skipped << QString::fromUtf8("- ") + skipReason(skip) + QString::fromUtf8(": %1개").arg(kind);
    }

    const QStringList settings = settingLines(file, inForce, ratioRefusal);
    if (skipped.isEmpty() && settings.isEmpty())
        return QString();
    QStringList parts{QString::fromUtf8("불러온 파일에서 그대로 쓰지 못한 것이 있습니다. 파일은 바뀌지 않았습니다.")};
    if (!skipped.isEmpty())
        parts << skipped.join(QLatin1Char('\n'));
    if (!settings.isEmpty())
        parts << QString::fromUtf8("바꾼 설정\n") + settings.join(QLatin1Char('\n'));
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace LoadNote
