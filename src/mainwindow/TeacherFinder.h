#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// The toolbar's "查询": a small box beside the main window in which an operator types part of
// a teacher's name or code; Enter (or F3) asks for the next teacher that matches.
class TeacherFinder : public QDialog
{
    Q_OBJECT
public:
    explicit TeacherFinder(QWidget* parent = nullptr);

    // What the last search found, shown under the box.
    void setOutcome(const QString& text);

signals:
    void findNext(const QString& text);

private:
    QLineEdit* m_text;
    QLabel* m_outcome;
};
