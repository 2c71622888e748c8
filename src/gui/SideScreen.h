#pragma once

#include <QWidget>

class QLayout;
class QPushButton;

// A screen shown beside the main window without blocking it (export, import), in a window of its
// own: it fills itself afresh each time the program shows it, not when the window system restores
// it from an icon, and Esc closes it, as on a dialog.
class SideScreen : public QWidget
{
    Q_OBJECT
protected:
    // `action`: the caption of the screen's command (BitBtn1, the default button), beside "返回"
    // (BitBtn2), which closes the screen.
    SideScreen(const QString& action, QWidget* parent);

    QPushButton* actionButton() const { return m_action; }
    // The two buttons in a row, for the bottom of the screen's layout (which takes them over).
    QLayout* buttonRow() const;

    // What every showing starts with.
    virtual void refill() = 0;

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* m_action;
    QPushButton* m_return;
};
