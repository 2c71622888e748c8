#include "gui/RecordCountLabel.h"

RecordCountLabel::RecordCountLabel(QWidget* parent) : QLabel(parent) {}

void RecordCountLabel::setCount(int count)
{
    setText(QString::number(count));
}

int RecordCountLabel::count() const
{
    return text().toInt();
}
