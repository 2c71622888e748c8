#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;

// Keeps the program's windows with the main window on a desktop: each window it looks after
// belongs to a window when it opens (a screen shown beside the main window to the main window, a
// modal dialog to the window it was opened from), so the window manager stacks it above that
// window; and it opens centred on that window, inside the screen's available area, shrunk to fit.
class WindowKeeper : public QObject
{
    Q_OBJECT
public:
    explicit WindowKeeper(QWidget* mainWindow, QObject* parent = nullptr);

    // Looks after the window from its next opening on.
    void keep(QWidget* window);

    // Where a window with this frame size opens: centred on `over` (when it is not empty, else on
    // the available area), moved inside `available`, and no larger than it.
    static QRect placement(const QSize& frameSize, const QRect& over, const QRect& available);
    // Sizes and moves a window that is about to open: centred on the window it belongs to when
    // that one is visible, else on the screen.
    static void place(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window a screen belongs to while it is open.
    QWidget* ownerOf(const QWidget* window) const;
    void belongTo(QWidget* window, const QWidget* owner) const;

    QPointer<QWidget> m_main;
};
