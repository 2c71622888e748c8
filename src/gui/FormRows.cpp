#include "gui/FormRows.h"

FormRows::FormRows(std::initializer_list<std::pair<QString, QWidget*>> rows)
{
    for (const auto& [caption, input] : rows)
        addRow(caption, input);
}
