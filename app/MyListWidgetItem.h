#pragma once

#include <QListWidgetItem>

#include <cstdint>

// One row of the registration dialog's pick list, tied to its catalogue entry.
class MyListWidgetItem : public QListWidgetItem
{
public:
    explicit MyListWidgetItem(const QString &text);
    ~MyListWidgetItem() override;

    int64_t cashItemKey = 0;
};
