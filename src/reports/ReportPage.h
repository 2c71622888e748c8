#pragma once

#include <QLineF>
#include <QRectF>
#include <QString>
#include <Qt>

#include <vector>

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

// One page of the list as pure data: its texts and its rules (lines, in millimetres).
struct ReportPage
{
    int number = 1;
    std::vector<ReportText> texts;
    std::vector<QLineF> rules;
};
