#include "MyTableWidget.h"

#include <QApplication>

MyTableWidget::MyTableWidget(QWidget *parent)
    : QTableWidget(parent)
{
    setMouseTracking(true);
}

MyTableWidget::~MyTableWidget() = default;

bool MyTableWidget::isEditing() const
{
    return state() == EditingState;
}

bool MyTableWidget::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool opened = QTableWidget::edit(index, trigger, event);
    if (opened)
        emit editorOpened(itemFromIndex(index));
    return opened;
}

void MyTableWidget::cancelEditing()
{
    if (!isEditing())
        return;
    // The editor is the viewport's child that holds the focus.
    QWidget *editor = QApplication::focusWidget();
    while (editor && editor->parentWidget() != viewport())
        editor = editor->parentWidget();
    if (editor)
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}
