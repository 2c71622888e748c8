#pragma once

#include <QWidget>

// The window shown while the program creates its screens: no title bar, no border, centred.
class SplashScreen : public QWidget
{
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);

    // Shows the window and paints it before returning, so that it stays visible while the caller
    // keeps the event loop busy creating the other screens.
    void showAndPaint();

private:
    void buildContent();
    void centreOnScreen();
};
