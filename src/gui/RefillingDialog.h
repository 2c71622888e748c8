#pragma once

#include <QDialog>

// A dialog that fills its inputs or its list afresh each time the program shows it (show() or
// exec()), not when the window system shows it again after it was minimised.
class RefillingDialog : public QDialog
{
    Q_OBJECT
public:
    // What every opening shows.
    virtual void refill() = 0;

protected:
    explicit RefillingDialog(QWidget* parent = nullptr) : QDialog(parent) {}

    void showEvent(QShowEvent* event) override;
};
