#pragma once

#include "stats/ChartPicture.h"

#include <QByteArray>
#include <QString>

// A chart picture as an SVG document: boxes as rectangles, lines as polylines, labels as texts in
// the Song face (AR PL UMing CN, then any serif face, where it is missing).
namespace ChartSvg {

QByteArray document(const ChartPicture& picture);
// Throws ReportFileError when the file cannot be written; an earlier file stays as it was.
void write(const QString& path, const ChartPicture& picture);

} // namespace ChartSvg
