#pragma once

#include <QFormLayout>

#include <initializer_list>
#include <utility>

// Inputs under their captions, one a row, in the order given.
class FormRows : public QFormLayout
{
    Q_OBJECT
public:
    explicit FormRows(std::initializer_list<std::pair<QString, QWidget*>> rows);
};
