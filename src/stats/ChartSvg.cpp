#include "stats/ChartSvg.h"

#include "reports/SavedFile.h"

namespace {

QString n(double value)
{
    return QString::number(value, 'f', 2);
}

QString colour(const QColor& c)
{
    return c.name(QColor::HexRgb);
}

QString anchorOf(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter)
        return QStringLiteral("middle");
    if (alignment & Qt::AlignRight)
        return QStringLiteral("end");
    return QStringLiteral("start");
}

} // namespace

QByteArray ChartSvg::document(const ChartPicture& picture)
{
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" "
                                 "viewBox=\"0 0 %1 %2\">\n"
                                 "<rect x=\"0\" y=\"0\" width=\"%1\" height=\"%2\" fill=\"#ffffff\"/>\n")
                      .arg(n(picture.size.width()), n(picture.size.height()));
    for (const ChartPicture::Box& b : picture.boxes)
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
                   .arg(n(b.rect.x()), n(b.rect.y()), n(b.rect.width()), n(b.rect.height()), colour(b.color));
    for (const ChartPicture::Line& l : picture.lines) {
        QStringList points;
        for (const QPointF& p : l.points)
            points << n(p.x()) + u',' + n(p.y());
        svg += QStringLiteral("<polyline points=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\"%4/>\n")
                   .arg(points.join(u' '), colour(l.color), n(l.width),
                        l.dashed ? QStringLiteral(" stroke-dasharray=\"6,4\"") : QString());
    }
    for (const ChartPicture::Label& t : picture.labels)
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"%3\" text-anchor=\"%4\" "
                              "dominant-baseline=\"central\" fill=\"%5\" font-family=\"SimSun, 'AR PL UMing CN', "
                              "serif\">%6</text>\n")
                   .arg(n(t.anchor.x()), n(t.anchor.y()), n(t.size), anchorOf(t.alignment), colour(t.color),
                        t.text.toHtmlEscaped());
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

void ChartSvg::write(const QString& path, const ChartPicture& picture)
{
    SavedFile::writeBytes(path, document(picture));
}
