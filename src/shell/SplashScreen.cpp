#include "shell/SplashScreen.h"

#include "shell/ShellPictures.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

SplashScreen::SplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("fmSplash"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xf5, 0xf8, 0xfc));
    setPalette(pal);
    buildContent();
}

void SplashScreen::buildContent()
{
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture"));
    picture->setPixmap(ShellPictures::splashPicture());
    picture->setAlignment(Qt::AlignCenter);

    auto* caption = new QLabel(QStringLiteral("澜大工作量计算系统"), this);
    caption->setObjectName(QStringLiteral("Caption"));
    QFont captionFont = caption->font();
    captionFont.setPointSize(20);
    captionFont.setBold(true);
    caption->setFont(captionFont);
    caption->setStyleSheet(QStringLiteral("color: #12488f;"));
    caption->setAlignment(Qt::AlignCenter);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* loading = new QLabel(QStringLiteral("程序装载中......"), this);
    loading->setObjectName(QStringLiteral("Loading"));
    loading->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 14);
    layout->setSpacing(10);
    layout->addWidget(picture);
    layout->addWidget(caption);
    layout->addWidget(line);
    layout->addWidget(loading);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void SplashScreen::centreOnScreen()
{
    adjustSize();
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target)
        return;
    QRect frame = rect();
    frame.moveCenter(target->availableGeometry().center());
    move(frame.topLeft());
}

void SplashScreen::showAndPaint()
{
    centreOnScreen();
    show();
    raise();
    repaint();
    QApplication::processEvents();
}
