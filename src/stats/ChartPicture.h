#pragma once

#include <QColor>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <Qt>

#include <vector>

// A chart as pure data, on a canvas of `size` units: filled boxes, lines and labels. Drawn by
// ChartPainter on any paint device (an image, a PDF page) and written as SVG by ChartSvg, so the
// command line's images need no widgets and every file shows the same chart.
struct ChartPicture
{
    struct Box
    {
        QRectF rect;
        QColor color;
    };
    struct Line
    {
        QPolygonF points;
        QColor color;
        double width = 1;
        bool dashed = false;
    };
    struct Label
    {
        QPointF anchor;          // where the text is aligned to
        Qt::Alignment alignment; // left, centre or right of the anchor; always centred vertically
        double size = 12;        // the text's height in canvas units
        QString text;
        QColor color = Qt::black;
    };

    QSizeF size{800, 450};
    std::vector<Box> boxes;
    std::vector<Line> lines;
    std::vector<Label> labels;
};
