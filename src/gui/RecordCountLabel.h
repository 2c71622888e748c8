#pragma once

#include <QLabel>

// The number after "当前记录数:": a running count. Set from the list's row count when the list
// is loaded, one more after a teacher, section or faculty was added, one less after one was
// deleted; nothing else recounts it. The guards of the list commands read it back.
class RecordCountLabel : public QLabel
{
    Q_OBJECT
public:
    explicit RecordCountLabel(QWidget* parent = nullptr);

    void setCount(int count);
    int count() const;
    void countUp() { setCount(count() + 1); }
    void countDown() { setCount(count() - 1); }
};
