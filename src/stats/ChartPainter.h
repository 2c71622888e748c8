#pragma once

#include "stats/ChartPicture.h"

#include <QRectF>
#include <QString>

class QPainter;

// Draws a chart picture with a painter, scaled evenly into a rectangle of the device and centred
// in it, in the fonts the printed list uses (Song; AR PL UMing CN where Song is not installed).
namespace ChartPainter {

void paint(QPainter& painter, const ChartPicture& picture, const QRectF& target);
// The picture as a PNG image `width` pixels wide on white. Throws ReportFileError when the file
// cannot be written; an earlier file stays as it was.
void writePng(const QString& path, const ChartPicture& picture, int width = 1600);

} // namespace ChartPainter
