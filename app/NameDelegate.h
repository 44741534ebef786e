#pragma once

#include <QStyledItemDelegate>

// Draws and measures item names. A name of thousands of characters would
// cost its full text layout on every paint and column fit, so past a
// limit only its beginning is shown, ending in "…". The cell and its editor
// keep the whole name.
class NameDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int shownCharacters = 1000;

    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
