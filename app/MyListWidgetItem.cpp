#include "MyListWidgetItem.h"

MyListWidgetItem::MyListWidgetItem(const QString &text)
    : QListWidgetItem(text, nullptr, QListWidgetItem::Type)
{
}

MyListWidgetItem::~MyListWidgetItem() = default;
