#include "gui/RefillingDialog.h"

#include <QShowEvent>

void RefillingDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        refill();
}
