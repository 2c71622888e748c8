#pragma once

#include <QHBoxLayout>

#include <initializer_list>

// A screen's command buttons in a row, pushed to the right, in the order given.
class ButtonRow : public QHBoxLayout
{
    Q_OBJECT
public:
    explicit ButtonRow(std::initializer_list<QWidget*> buttons);
};
