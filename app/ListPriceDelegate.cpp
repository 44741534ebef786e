#include "ListPriceDelegate.h"

#include <QLineEdit>

ListPriceDelegate::ListPriceDelegate(ListPriceOfRow listPrice, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_listPrice(std::move(listPrice))
{
}

void ListPriceDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *field = qobject_cast<QLineEdit *>(editor);
    const std::optional<int32_t> price = field ? m_listPrice(index.row()) : std::nullopt;
    if (price)
        field->setText(QString::number(*price));
    else
        QStyledItemDelegate::setEditorData(editor, index);
}
