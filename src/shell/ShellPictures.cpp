#include "shell/ShellPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QPixmap blank(const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void paintSky(QPainter& p, const QRectF& r, qreal horizon)
{
    QLinearGradient sky(r.topLeft(), QPointF(r.left(), horizon));
    sky.setColorAt(0, QColor(0x3b, 0x7d, 0xd8));
    sky.setColorAt(1, QColor(0xcf, 0xe6, 0xfa));
    p.fillRect(QRectF(r.left(), r.top(), r.width(), horizon - r.top()), sky);
}

void paintSun(QPainter& p, const QPointF& centre, qreal radius)
{
    QRadialGradient glow(centre, radius * 2.2);
    glow.setColorAt(0, QColor(255, 244, 200, 200));
    glow.setColorAt(1, QColor(255, 244, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, radius * 2.2, radius * 2.2);
    p.setBrush(QColor(0xff, 0xc8, 0x3d));
    p.drawEllipse(centre, radius, radius);
}

void paintHills(QPainter& p, const QRectF& r, qreal horizon)
{
    const qreal w = r.width();
    const qreal h = horizon - r.top();
    QPainterPath far;
    far.moveTo(r.left(), horizon);
    far.cubicTo(r.left() + w * 0.15, horizon - h * 0.55, r.left() + w * 0.3, horizon - h * 0.35, r.left() + w * 0.42,
                horizon - h * 0.45);
    far.cubicTo(r.left() + w * 0.55, horizon - h * 0.6, r.left() + w * 0.7, horizon - h * 0.2, r.left() + w,
                horizon - h * 0.3);
    far.lineTo(r.left() + w, horizon);
    far.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7f, 0xa8, 0xc9));
    p.drawPath(far);

    QPainterPath near;
    near.moveTo(r.left() + w * 0.55, horizon);
    near.cubicTo(r.left() + w * 0.68, horizon - h * 0.42, r.left() + w * 0.82, horizon - h * 0.5, r.left() + w,
                 horizon - h * 0.25);
    near.lineTo(r.left() + w, horizon);
    near.closeSubpath();
    p.setBrush(QColor(0x4f, 0x7f, 0x6a));
    p.drawPath(near);
}

void paintWater(QPainter& p, const QRectF& r, qreal horizon)
{
    QLinearGradient water(QPointF(r.left(), horizon), r.bottomLeft());
    water.setColorAt(0, QColor(0x5d, 0xa4, 0xd6));
    water.setColorAt(1, QColor(0x1d, 0x5a, 0x9a));
    p.fillRect(QRectF(r.left(), horizon, r.width(), r.bottom() - horizon), water);

    // Billows: rows of shallow arcs, denser towards the horizon.
    p.setBrush(Qt::NoBrush);
    const qreal depth = r.bottom() - horizon;
    for (int row = 0; row < 5; ++row) {
        const qreal y = horizon + depth * (0.15 + 0.18 * row);
        const qreal step = 18 + row * 8;
        p.setPen(QPen(QColor(255, 255, 255, 70 + row * 20), 1.0 + row * 0.3));
        const qreal offset = (row % 2) * step / 2;
        for (qreal x = r.left() - step + offset; x < r.right(); x += step)
            p.drawArc(QRectF(x, y, step * 0.6, step * 0.25), 20 * 16, 140 * 16);
    }
}

void paintBoat(QPainter& p, const QPointF& waterline, qreal scale)
{
    QPainterPath hull;
    hull.moveTo(waterline + QPointF(-26, -6) * scale);
    hull.lineTo(waterline + QPointF(26, -6) * scale);
    hull.lineTo(waterline + QPointF(18, 2) * scale);
    hull.lineTo(waterline + QPointF(-18, 2) * scale);
    hull.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7a, 0x3e, 0x1d));
    p.drawPath(hull);

    QPainterPath sail;
    sail.moveTo(waterline + QPointF(0, -9) * scale);
    sail.lineTo(waterline + QPointF(0, -48) * scale);
    sail.quadTo(waterline + QPointF(18, -26) * scale, waterline + QPointF(20, -9) * scale);
    sail.closeSubpath();
    p.setBrush(QColor(0xfb, 0xf7, 0xee));
    p.drawPath(sail);

    QPainterPath jib;
    jib.moveTo(waterline + QPointF(-3, -12) * scale);
    jib.lineTo(waterline + QPointF(-3, -40) * scale);
    jib.lineTo(waterline + QPointF(-19, -12) * scale);
    jib.closeSubpath();
    p.setBrush(QColor(0xe8, 0x5d, 0x3a));
    p.drawPath(jib);
}

void paintLakeScene(QPainter& p, const QRectF& r, qreal horizonShare, qreal boatScale)
{
    const qreal horizon = r.top() + r.height() * horizonShare;
    paintSky(p, r, horizon);
    paintSun(p, QPointF(r.left() + r.width() * 0.22, r.top() + r.height() * horizonShare * 0.42),
             r.height() * horizonShare * 0.16);
    paintHills(p, r, horizon);
    paintWater(p, r, horizon);
    paintBoat(p, QPointF(r.left() + r.width() * 0.62, horizon + (r.bottom() - horizon) * 0.45), boatScale);
}

} // namespace

namespace ShellPictures {

QPixmap splashPicture(const QSize& size)
{
    QPixmap pixmap = blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(pixmap.rect()), 8, 8);
    p.setClipPath(clip);
    paintLakeScene(p, QRectF(pixmap.rect()), 0.58, size.height() / 160.0);
    return pixmap;
}

QPixmap logo(int side)
{
    QPixmap pixmap = blank(QSize(side, side));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(1, 1, side - 2, side - 2);
    QLinearGradient blue(tile.topLeft(), tile.bottomLeft());
    blue.setColorAt(0, QColor(0x2f, 0x7b, 0xe0));
    blue.setColorAt(1, QColor(0x12, 0x48, 0x8f));
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawRoundedRect(tile, side * 0.2, side * 0.2);

    const qreal s = side / 48.0;
    p.setBrush(QColor(0xff, 0xc8, 0x3d));
    p.drawEllipse(QPointF(15 * s, 15 * s), 6 * s, 6 * s);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.6 * s));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6 * s, 34 * s, 18 * s, 6 * s), 20 * 16, 140 * 16);
    p.drawArc(QRectF(24 * s, 36 * s, 18 * s, 6 * s), 20 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    paintBoat(p, QPointF(27 * s, 35 * s), 0.5 * s);
    return pixmap;
}

QPixmap banner(const QSize& size)
{
    QPixmap pixmap = blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paintLakeScene(p, QRectF(pixmap.rect()), 0.5, size.height() / 150.0);
    return pixmap;
}

} // namespace ShellPictures
