#include "gui/ButtonRow.h"

ButtonRow::ButtonRow(std::initializer_list<QWidget*> buttons)
{
    addStretch();
    for (QWidget* button : buttons)
        addWidget(button);
}
