#include "gui/WindowKeeper.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// The frame the window manager puts around a window: known once a window has been on screen;
// before that, the frame of the window it belongs to is the best guess.
QMargins frameOf(const QWidget* window, const QWindow* owner)
{
    const QWindow* handle = window->windowHandle();
    if (handle && handle->frameMargins() != QMargins())
        return handle->frameMargins();
    return owner ? owner->frameMargins() : QMargins();
}

int clampStart(int start, int length, int areaStart, int areaLength)
{
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

} // namespace

WindowKeeper::WindowKeeper(QWidget* mainWindow, QObject* parent) : QObject(parent), m_main(mainWindow) {}

void WindowKeeper::keep(QWidget* window)
{
    window->installEventFilter(this);
}

QRect WindowKeeper::placement(const QSize& frameSize, const QRect& over, const QRect& available)
{
    const QSize size = frameSize.boundedTo(available.size());
    QRect frame(QPoint(), size);
    frame.moveCenter(over.isEmpty() ? available.center() : over.center());
    frame.moveLeft(clampStart(frame.left(), size.width(), available.left(), available.width()));
    frame.moveTop(clampStart(frame.top(), size.height(), available.top(), available.height()));
    return frame;
}

void WindowKeeper::place(QWidget* window)
{
    const QWindow* owner = window->windowHandle() ? window->windowHandle()->transientParent() : nullptr;
    if (owner && !owner->isVisible())
        owner = nullptr;
    const QScreen* screen = owner ? owner->screen() : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QMargins frame = frameOf(window, owner);
    const QSize outer = window->size().grownBy(frame);
    const QRect target = placement(outer, owner ? owner->frameGeometry() : QRect(), screen->availableGeometry());
    if (target.size() != outer)
        window->resize(target.size().shrunkBy(frame).expandedTo(window->minimumSize()));
    // move() places the frame once the window system has reported it, and before that (the first
    // showing) the inside of the window: the guessed frame is then added.
    const QPoint reportedFrame = window->geometry().topLeft() - window->pos();
    window->move(target.topLeft() + QPoint(frame.left(), frame.top()) - reportedFrame);
}

QWidget* WindowKeeper::ownerOf(const QWidget* window) const
{
    // A modal dialog belongs to the window it was opened from (a dialog of the section screen to
    // that screen); everything else to the main window.
    if (window->isModal()) {
        QWidget* opener = QApplication::activeWindow();
        if (opener && opener != window && opener->isVisible())
            return opener;
    }
    return m_main && m_main != window && m_main->isVisible() ? m_main.data() : nullptr;
}

void WindowKeeper::belongTo(QWidget* window, const QWidget* owner) const
{
    QWindow* handle = window->windowHandle();
    if (!handle)
        return;
    handle->setTransientParent(owner ? owner->window()->windowHandle() : nullptr);
}

bool WindowKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // The program's own showing, not the window system's restoring of an icon.
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow()) {
            belongTo(window, ownerOf(window));
            place(window);
        }
    }
    return QObject::eventFilter(watched, event);
}
