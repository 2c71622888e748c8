#pragma once

#include <QHash>
#include <QObject>

class QWidget;

// Enter in an input moves the focus to the next input of the chain instead of pressing the
// dialog's default button; a disabled target leaves the focus where it is. Every other key
// passes through unchanged.
class EnterKeyChain : public QObject
{
    Q_OBJECT
public:
    explicit EnterKeyChain(QObject* parent = nullptr);

    void link(QWidget* from, QWidget* to);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHash<QObject*, QWidget*> m_next;
};
