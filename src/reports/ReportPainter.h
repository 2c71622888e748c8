#pragma once

#include "reports/ReportPage.h"

#include <QFont>
#include <QPageLayout>

#include <vector>

class QPagedPaintDevice;
class QPainter;

// Draws page models on a paged device (a printer, the print preview's printer, a PDF writer), so
// that preview, printout and PDF file come from one drawing. Millimetres become device units by
// the device's resolution; the device's painting origin is the top left of the printable area.
class ReportPainter
{
public:
    // A4 portrait with 10 mm margins on all sides: the page the lists are laid out for.
    static QPageLayout pageLayout();

    // The font of a role. The list names the faces "楷体_GB2312" and "宋体"; where those are not
    // installed the AR PL UKai CN and AR PL UMing CN faces stand in for them.
    static QFont font(ReportFont role);

    // Draws `page` with `painter`, which paints on a paged device.
    static void paintPage(QPainter& painter, const ReportPage& page);

    // Draws pages firstPage to lastPage (1-based, inclusive, clamped to the pages there are) on the
    // device, starting a new device page between them. False when the device cannot be painted on.
    static bool paint(QPagedPaintDevice& device, const std::vector<ReportPage>& pages, int firstPage, int lastPage);
};
