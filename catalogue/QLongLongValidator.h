#pragma once

#include <QValidator>

#include <limits>

// Accepts whole numbers in a 64-bit range, as QIntValidator does for 32 bits.
class QLongLongValidator : public QValidator
{
    Q_OBJECT
    Q_PROPERTY(qlonglong bottom READ bottom WRITE setBottom)
    Q_PROPERTY(qlonglong top READ top WRITE setTop)

public:
    explicit QLongLongValidator(QObject *parent = nullptr);
    ~QLongLongValidator() override;

    qlonglong bottom() const { return m_bottom; }
    qlonglong top() const { return m_top; }
    void setBottom(qlonglong bottom);
    void setTop(qlonglong top);

    State validate(QString &input, int &pos) const override;

private:
    qlonglong m_bottom = std::numeric_limits<qlonglong>::min();
    qlonglong m_top = std::numeric_limits<qlonglong>::max();
};
