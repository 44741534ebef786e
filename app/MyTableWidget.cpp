#include "MyTableWidget.h"

MyTableWidget::MyTableWidget(QWidget *parent)
    : QTableWidget(parent)
{
    setMouseTracking(true);
}

MyTableWidget::~MyTableWidget() = default;
