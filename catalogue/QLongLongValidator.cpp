#include "QLongLongValidator.h"

QLongLongValidator::QLongLongValidator(QObject *parent)
    : QValidator(parent)
{
}

QLongLongValidator::~QLongLongValidator() = default;

void QLongLongValidator::setBottom(qlonglong bottom)
{
    m_bottom = bottom;
}

void QLongLongValidator::setTop(qlonglong top)
{
    m_top = top;
}

QValidator::State QLongLongValidator::validate(QString &input, int &) const
{
    if (input.contains(QLatin1Char(' ')))
        return Invalid;
    if (input.isEmpty())
        return Intermediate;
    if (m_bottom < 0 && input == QLatin1String("-"))
        return Intermediate;
    bool ok = false;
    const qlonglong value = input.toLongLong(&ok, 10);
    if (!ok)
        return Invalid;
    if (value < 0 && m_bottom >= 0)
        return Invalid;
    if (value >= m_bottom && value <= m_top)
        return Acceptable;
    if (value >= 0)
        return value <= m_top ? Intermediate : Invalid;
    return value >= m_bottom ? Intermediate : Invalid;
}
