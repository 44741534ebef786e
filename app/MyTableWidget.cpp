#include "MyTableWidget.h"

#include <QKeyEvent>


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

void MyTableWidget::keyPressEvent(QKeyEvent *event)
{
    // The view would copy the current cell alone; the ledger copies the row.
    if (event == QKeySequence::Copy) {
        emit copyRequested();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
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
    if (QWidget *editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}
