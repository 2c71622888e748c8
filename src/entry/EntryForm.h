#pragma once

#include <QList>
#include <QStringList>

class QComboBox;
class QDialog;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QWidget;

// The common shape of the entry dialogs: captioned inputs in two columns over a "确定"/"放弃" row.
class EntryForm
{
public:
    explicit EntryForm(QDialog* dialog);

    static QLineEdit* lineEdit(const char* name, QWidget* parent);
    // An editable list that keeps typed text out of its items.
    static QComboBox* dropDown(const char* name, const QStringList& items, QWidget* parent);

    // A caption and its input in column 0 or 1 of a row.
    void place(int row, int column, const QString& caption, QWidget* input);
    // Lays out the inputs over the buttons and sets the tab order. Enter in an input never presses
    // a button (it moves between the inputs); Enter on a focused button presses it.
    void finish(QPushButton* ok, QPushButton* cancel, const QList<QWidget*>& tabOrder);

private:
    QDialog* m_dialog;
    QGridLayout* m_grid;
};
