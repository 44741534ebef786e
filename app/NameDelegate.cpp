#include "NameDelegate.h"

void NameDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->text.size() > shownCharacters)
        option->text = option->text.left(shownCharacters) + QChar(0x2026);
}
