#include "reportsui/ReportPreview.h"

#include "gui/ErrorDisplay.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "gui/WaitCursor.h"
#include "reports/TeacherListReport.h"
#include "reports/TeacherListSource.h"
#include "reportsui/PrintDialog.h"
#include "store/DataModule.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A printer laid out for the list: A4 portrait, 10 mm margins, painting from the margin.
void setUpPrinter(QPrinter& printer, const QString& title)
{
    printer.setPageLayout(TeacherListReport::pageLayout());
    printer.setFullPage(false);
    printer.setDocName(title);
}

QList<int> chosenPages(const QPrinter& printer, int pageCount)
{
    QList<int> pages;
    for (int page = 1; page <= pageCount; ++page)
        if (printer.printRange() != QPrinter::PageRange || printer.pageRanges().contains(page))
            pages << page;
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    return pages;
}

} // namespace

ReportPreview::ReportPreview(DataModule& data, const Session& session, QWidget* parent)
    : QDialog(parent), m_data(data), m_session(session),
      m_previewPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution)), m_pageNumber(new QLabel)
{
    setObjectName(QStringLiteral("qrrydm"));
    setWindowTitle(QStringLiteral("打印预览"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setUpPrinter(*m_previewPrinter, QString());
    m_preview = new QPrintPreviewWidget(m_previewPrinter.get(), this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_pageNumber->setObjectName(QStringLiteral("pageNumber"));
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        if (m_report)
            m_report->paint(*printer);
    });
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &ReportPreview::showPageNumber);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();
    layout->addWidget(m_preview, 1);
    resize(PreferredSize);
}

ReportPreview::~ReportPreview() = default;

QAction* ReportPreview::addCommand(const char* name, const QString& caption, const std::function<void()>& command)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, command);
    return action;
}

void ReportPreview::buildToolBar()
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("toolBar"));
    // Moving to a page does not report a change of the preview; the page number follows here.
    auto goTo = [this](const std::function<int()>& page) {
        return [this, page] {
            m_preview->setCurrentPage(page());
            showPageNumber();
        };
    };
    bar->addAction(addCommand("firstPage", QStringLiteral("首页"), goTo([] { return 1; })));
    bar->addAction(
        addCommand("priorPage", QStringLiteral("上一页"), goTo([this] { return m_preview->currentPage() - 1; })));
    bar->addWidget(m_pageNumber);
    bar->addAction(
        addCommand("nextPage", QStringLiteral("下一页"), goTo([this] { return m_preview->currentPage() + 1; })));
    bar->addAction(addCommand("lastPage", QStringLiteral("末页"), goTo([this] { return m_preview->pageCount(); })));
    bar->addSeparator();
    bar->addAction(addCommand("zoomIn", QStringLiteral("放大"), [this] { m_preview->zoomIn(); }));
    bar->addAction(addCommand("zoomOut", QStringLiteral("缩小"), [this] { m_preview->zoomOut(); }));
    bar->addAction(addCommand("fitWidth", QStringLiteral("适合宽度"), [this] { m_preview->fitToWidth(); }));
    bar->addAction(addCommand("fitPage", QStringLiteral("整页"), [this] { m_preview->fitInView(); }));
    bar->addSeparator();
    bar->addAction(addCommand("print", QStringLiteral("打印"), [this] { onPrintClicked(); }));
    bar->addAction(addCommand("exportPdf", QStringLiteral("导出PDF"), [this] {
        exportTo(QStringLiteral("导出PDF"), QStringLiteral("PDF 文件 (*.pdf)"), QStringLiteral("pdf"),
                 [](const TeacherListReport& report, const QString& path) { report.writePdf(path); });
    }));
    bar->addAction(addCommand("exportExcel", QStringLiteral("导出Excel"), [this] {
        exportTo(QStringLiteral("导出Excel"), QStringLiteral("Excel 工作簿 (*.xlsx)"), QStringLiteral("xlsx"),
                 [](const TeacherListReport& report, const QString& path) { report.writeXlsx(path); });
    }));
    bar->addSeparator();
    bar->addAction(addCommand("close", QStringLiteral("关闭"), [this] { reject(); }));
    layout()->addWidget(bar);
}

bool ReportPreview::previewTeacherList()
{
    if (!generate())
        return false;
    fitToScreen();
    exec();
    return true;
}

bool ReportPreview::generate()
{
    if (!m_data.dtrydm->isActive() || m_data.dtrydm->recordCount() == 0)
        return false;
    m_report = std::make_unique<TeacherListReport>(TeacherListSource::read(m_data, m_session));
    setWindowTitle(QStringLiteral("打印预览 - ") + m_report->title());
    m_previewPrinter->setDocName(m_report->title());
    m_preview->updatePreview();
    m_preview->setCurrentPage(1);
    // The whole page in the window, also when the window is resized, until the operator zooms.
    m_preview->fitInView();
    showPageNumber();
    return true;
}

void ReportPreview::fitToScreen()
{
    // Room for the window's frame and the desktop's panels is left over.
    const QWidget* opener = QApplication::activeWindow();
    const QScreen* screen = opener ? opener->screen() : this->screen();
    if (screen)
        resize(PreferredSize.boundedTo(screen->availableGeometry().size() * 0.9));
}

void ReportPreview::showPageNumber()
{
    const int pages = m_report ? m_report->pageCount() : 0;
    m_pageNumber->setText(QStringLiteral(" 第 %1 页 / 共 %2 页 ").arg(m_preview->currentPage()).arg(pages));
}

QList<int> ReportPreview::printSequence(const QPrinter& printer, int pageCount)
{
    const QList<int> pages = chosenPages(printer, pageCount);
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
    QList<int> sequence;
    if (printer.collateCopies()) {
        for (int copy = 0; copy < copies; ++copy)
            sequence << pages;
    } else {
        for (const int page : pages)
            for (int copy = 0; copy < copies; ++copy)
                sequence << page;
    }
    return sequence;
}

void ReportPreview::onPrintClicked()
{
    if (!m_report)
        return;
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, m_report->title());
    if (!PrintDialog::exec(this, printer, m_report->pageCount()))
        return;
    // The list is generated again for printing, from the same rows and title.
    const TeacherListReport report(TeacherListSource::read(m_data, m_session));
    const QList<int> sequence = printSequence(printer, report.pageCount());
    QPainter painter;
    if (sequence.isEmpty() || !painter.begin(&printer)) {
        MessageBox::error(this, QStringLiteral("无法打印：打印机不能使用"));
        return;
    }
    bool printed = true;
    {
        const WaitCursor wait;
        for (qsizetype i = 0; i < sequence.size() && printed; ++i) {
            printed = i == 0 || printer.newPage();
            if (printed)
                report.paintPage(painter, sequence[i]);
        }
        // Ending the painter sends the job: a printer that refused a page or the job printed
        // nothing the operator can use.
        printed = painter.end() && printed;
    }
    if (!printed)
        MessageBox::error(this, QStringLiteral("无法打印：打印机不能使用"));
}

QString ReportPreview::suggestedPath(const QString& suffix) const
{
    QString name = m_report->title();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    return QDir(QDir::homePath()).filePath(name + u'.' + suffix);
}

void ReportPreview::exportTo(const QString& caption, const QString& filter, const QString& suffix,
                             const std::function<void(const TeacherListReport&, const QString&)>& write)
{
    if (!m_report)
        return;
    QString path = FileDialog::saveFile(this, caption, suggestedPath(suffix), filter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + suffix;
    const bool written = ErrorDisplay::guard(this, [&] {
        const WaitCursor wait;
        write(*m_report, path);
    });
    if (!written)
        return;
    MessageBox::information(this, QStringLiteral("已导出到 %1").arg(QDir::toNativeSeparators(path)));
}
