#pragma once

#include <QTableWidget>

// The ledger table: a table widget that tracks the mouse and tells when it
// opens a cell editor.
class MyTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit MyTableWidget(QWidget *parent = nullptr);
    ~MyTableWidget() override;

    // A cell editor is open right now.
    bool isEditing() const;
    // Closes an open cell editor and drops what was typed in it.
    void cancelEditing();

signals:
    // The copy keys were pressed on the table (not in a cell editor).
    void copyRequested();
    // An editor opened on this cell, by a double click or by Tab moving on
    // from the previous editor.
    void editorOpened(QTableWidgetItem *item);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
};
