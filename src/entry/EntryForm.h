#pragma once

#include <QList>
#include <QStringList>

class QComboBox;
class QDialog;
class QGridLayout;
class QLineEdit;
class QWidget;

// The common shape of the entry dialogs: captioned inputs in two columns.
class EntryForm
{
public:
    explicit EntryForm(QDialog* dialog);

    static QLineEdit* lineEdit(const char* name, QWidget* parent);
    // An editable list that keeps typed text out of its items.
    static QComboBox* dropDown(const char* name, const QStringList& items, QWidget* parent);
    // Lists the course or practice types afresh and shows the first.
    static void fillTypes(QComboBox* box, const QStringList& types);

    // A caption and its input in column 0 or 1 of a row.
    void place(int row, int column, const QString& caption, QWidget* input);
    // Sets the tab order; the grid of captioned inputs is then ready for the dialog's layout.
    QGridLayout* finish(const QList<QWidget*>& tabOrder);

private:
    QDialog* m_dialog;
    QGridLayout* m_grid;
};
