#pragma once

#include <QTableWidget>

// The ledger table: a plain table widget that tracks the mouse.
class MyTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit MyTableWidget(QWidget *parent = nullptr);
    ~MyTableWidget() override;
};
