#pragma once

#include <QLineF>
#include <QRectF>
#include <QString>
#include <Qt>

#include <functional>
#include <vector>

class QPainter;

// The fonts of the printed list.
enum class ReportFont
{
    Title,     // 18 point bold, regular script ("楷体_GB2312")
    Body,      // 9 point, Song ("宋体")
    SmallBody, // 8 point, Song: the classroom column of a detail line
};

// A text placed on a page. Millimetres from the top left corner of the printable area; the text
// is aligned within `rect`, never clipped: one wider than `rect` is drawn smaller to fit it (the
// title first moves left, up to the page's left edge).
struct ReportText
{
    QRectF rect;
    Qt::Alignment alignment;
    ReportFont font = ReportFont::Body;
    QString text;
};

// A picture placed on a page (a chart), drawn by its own code into its rectangle: millimetres on
// the page, handed to `draw` in the device's units.
struct ReportDrawing
{
    QRectF rect;
    std::function<void(QPainter& painter, const QRectF& deviceRect)> draw;
};

// One page of the list as pure data: its texts and its rules (lines, in millimetres), and the
// pictures of pages that carry any.
struct ReportPage
{
    int number = 1;
    std::vector<ReportText> texts;
    std::vector<QLineF> rules;
    std::vector<ReportDrawing> drawings;
};
