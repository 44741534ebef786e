#pragma once

#include <QStyledItemDelegate>

#include <cstdint>
#include <functional>
#include <optional>

// The editor of a "캐시 가격" cell. The cell shows the won actually paid,
// but what is typed there is the list price, so the editor opens with the
// list price: correcting the figure it shows must not change another one.
class ListPriceDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using ListPriceOfRow = std::function<std::optional<int32_t>(int row)>;

    ListPriceDelegate(ListPriceOfRow listPrice, QObject *parent);

    void setEditorData(QWidget *editor, const QModelIndex &index) const override;

private:
    ListPriceOfRow m_listPrice;
};
