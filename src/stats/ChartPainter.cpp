#include "stats/ChartPainter.h"

#include "reports/ReportFileError.h"
#include "reports/SavedFile.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

QFont fontOfSize(double pixels)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN")});
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    return font;
}

} // namespace

void ChartPainter::paint(QPainter& painter, const ChartPicture& picture, const QRectF& target)
{
    const double scale = std::min(target.width() / picture.size.width(), target.height() / picture.size.height());
    const QPointF origin(target.left() + (target.width() - picture.size.width() * scale) / 2,
                         target.top() + (target.height() - picture.size.height() * scale) / 2);
    auto at = [&](QPointF p) { return origin + p * scale; };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const ChartPicture::Box& box : picture.boxes)
        painter.fillRect(QRectF(at(box.rect.topLeft()), at(box.rect.bottomRight())), box.color);
    for (const ChartPicture::Line& line : picture.lines) {
        QPen pen(line.color, std::max(line.width * scale, 0.5));
        if (line.dashed)
            pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        QPolygonF points;
        for (const QPointF& p : line.points)
            points << at(p);
        painter.drawPolyline(points);
    }
    for (const ChartPicture::Label& label : picture.labels) {
        painter.setFont(fontOfSize(label.size * scale));
        painter.setPen(label.color);
        const QPointF a = at(label.anchor);
        const double h = label.size * scale * 2;
        const double w = 4000 * scale;
        QRectF rect(a.x(), a.y() - h / 2, w, h);
        if (label.alignment & Qt::AlignHCenter)
            rect.moveLeft(a.x() - w / 2);
        else if (label.alignment & Qt::AlignRight)
            rect.moveRight(a.x());
        painter.drawText(rect, int(label.alignment | Qt::AlignVCenter) | Qt::TextDontClip | Qt::TextSingleLine,
                         label.text);
    }
    painter.restore();
}

void ChartPainter::writePng(const QString& path, const ChartPicture& picture, int width)
{
    const int height = int(std::lround(width * picture.size.height() / picture.size.width()));
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paint(painter, picture, QRectF(0, 0, width, height));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw ReportFileError(path, QStringLiteral("无法生成 PNG 图片"));
    SavedFile::writeBytes(path, bytes);
}
