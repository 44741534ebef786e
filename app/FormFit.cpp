#include "FormFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFontMetricsF>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSpinBox>
#include <QStringList>
#include <QTableWidget>
#include <QVector>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace FormFit {

TextPlace textPlace(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        const int margin = label->margin();
        return {label->contentsRect().adjusted(margin, margin, -margin, -margin),
                (label->alignment() & Qt::AlignHCenter) != 0};
    }
    auto *button = qobject_cast<QAbstractButton *>(widget);
    if (!button)
        return {};
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (auto *push = qobject_cast<QPushButton *>(button)) {
        if (push->isDefault() || push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        return {button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button), true};
    }
    if (qobject_cast<QRadioButton *>(button))
        return {button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button), false};
    if (qobject_cast<QCheckBox *>(button))
        return {button->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, button), false};
    return {};
}

QSize textRoom(const QFont &font, const QString &text)
{
    if (text.isEmpty())
        return QSize(0, 0);
    const QFontMetricsF metrics(font);
    const QRectF ink = metrics.tightBoundingRect(text);
    const qreal middle = metrics.height() / 2;
    const qreal above = middle - (metrics.ascent() + ink.top());
    const qreal below = metrics.ascent() + ink.bottom() - middle;
    return QSize(int(std::ceil(metrics.horizontalAdvance(text))), int(std::ceil(2 * std::max(above, below))));
}

QSize shortfall(QWidget *widget, const QStringList &texts)
{
    const TextPlace place = textPlace(widget);
    if (place.rect.isNull())
        return QSize(0, 0);
    QSize missing(0, 0);
    for (const QString &text : texts) {
        const QSize room = textRoom(widget->font(), text);
        missing = missing.expandedTo(QSize(room.width() - place.rect.width(), room.height() - place.rect.height()));
    }
    return missing;
}

int spinBoxShortfall(QDoubleSpinBox *spinBox)
{
    QStyleOptionSpinBox option;
    option.initFrom(spinBox);
    option.frame = spinBox->hasFrame();
    option.buttonSymbols = spinBox->buttonSymbols();
    option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp
        | QStyle::SC_SpinBoxDown;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    const QRect field =
        spinBox->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, spinBox);
    const QFontMetricsF metrics(spinBox->font());
    qreal widest = 0;
    for (const double value : {spinBox->minimum(), spinBox->maximum()})
        widest = std::max(widest, metrics.horizontalAdvance(spinBox->prefix() + spinBox->textFromValue(value)
                                                            + spinBox->suffix()));
    // The field's line edit keeps two pixels free on either side of its text.
    const int textMargins = 2 * 2;
    return int(std::ceil(widest)) + textMargins - field.width();
}

void growIntoFreeSpace(QWidget *widget, QSize by, bool centred)
{
    QWidget *parent = widget->parentWidget();
    if (!parent || (by.width() <= 0 && by.height() <= 0))
        return;
    const QRect before = widget->geometry();
    QList<QRect> others;
    for (QObject *object : parent->children()) {
        auto *sibling = qobject_cast<QWidget *>(object);
        if (sibling && sibling != widget && !sibling->isWindow() && !sibling->geometry().intersects(before))
            others << sibling->geometry();
    }

    // Splits `missing` pixels between the room before and after.
    auto split = [](int missing, int roomBefore, int roomAfter, bool evenly) {
        int first = evenly ? missing / 2 : 0;
        int second = missing - first;
        if (second > roomAfter) {
            first += second - roomAfter;
            second = roomAfter;
        }
        if (first > roomBefore) {
            second = std::min(roomAfter, second + first - roomBefore);
            first = roomBefore;
        }
        return std::make_pair(first, second);
    };

    QRect after = before;
    if (by.width() > 0) {
        int left = 0;
        int right = parent->width();
        for (const QRect &other : others) {
            if (other.top() > before.bottom() || other.bottom() < before.top())
                continue;
            if (other.right() < before.left())
                left = std::max(left, other.right() + 1);
            else if (other.left() > before.right())
                right = std::min(right, other.left());
        }
        const auto grow = split(by.width(), std::max(0, before.left() - left),
                                std::max(0, right - before.right() - 1), centred);
        after.adjust(-grow.first, 0, grow.second, 0);
    }
    if (by.height() > 0) {
        int top = 0;
        int bottom = parent->height();
        for (const QRect &other : others) {
            if (other.left() > after.right() || other.right() < after.left())
                continue;
            if (other.bottom() < after.top())
                top = std::max(top, other.bottom() + 1);
            else if (other.top() > after.bottom())
                bottom = std::min(bottom, other.top());
        }
        const auto grow = split(by.height(), std::max(0, after.top() - top),
                                std::max(0, bottom - after.bottom() - 1), true);
        after.adjust(0, -grow.first, 0, grow.second);
    }
    if (after != before)
        widget->setGeometry(after);
}

void fitTexts(QWidget *parent, const QHash<QWidget *, QStringList> &alternatives)
{
    for (QObject *object : parent->children()) {
        auto *widget = qobject_cast<QWidget *>(object);
        if (!widget || widget->isWindow())
            continue;
        if (auto *spinBox = qobject_cast<QDoubleSpinBox *>(widget)) {
            growIntoFreeSpace(spinBox, QSize(spinBoxShortfall(spinBox), 0), false);
            continue;
        }
        QString text;
        if (auto *label = qobject_cast<QLabel *>(widget))
            text = label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            text = button->text();
        else
            continue;
        const QStringList texts = QStringList{text} + alternatives.value(widget);
        growIntoFreeSpace(widget, shortfall(widget, texts), textPlace(widget).centred);
    }
}

void fitHeaderTexts(QTableWidget *table, int available)
{
    QHeaderView *header = table->horizontalHeader();
    const int margin = table->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const QFontMetricsF metrics(header->font());
    const int columns = table->columnCount();
    QVector<int> needed(columns, 0);
    int total = 0;
    for (int column = 0; column < columns; ++column) {
        if (table->isColumnHidden(column))
            continue;
        const QTableWidgetItem *item = table->horizontalHeaderItem(column);
        needed[column] = item ? int(std::ceil(metrics.horizontalAdvance(item->text()))) + 2 * margin : 0;
        if (table->columnWidth(column) < needed[column])
            table->setColumnWidth(column, needed[column]);
        total += table->columnWidth(column);
    }
    while (total > available) {
        int widestSpare = -1;
        int spare = 0;
        for (int column = 0; column < columns; ++column) {
            if (table->isColumnHidden(column))
                continue;
            if (table->columnWidth(column) - needed[column] > spare) {
                spare = table->columnWidth(column) - needed[column];
                widestSpare = column;
            }
        }
        if (widestSpare < 0)
            break;
        table->setColumnWidth(widestSpare, table->columnWidth(widestSpare) - 1);
        --total;
    }
}

} // namespace FormFit
