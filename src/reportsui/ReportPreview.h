#pragma once

#include <QDialog>
#include <QList>
#include <QSize>

#include <functional>
#include <memory>

class DataModule;
class QAction;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class TeacherListReport;
struct Session;

// The teacher workload list "qrrydm" in its print preview: the pages of the list that the teacher
// list holder (`dtrydm`) holds, titled after the session's YearTitle; paging, zoom, printing
// through the platform's print dialog (printer, copies, page range), and the list written as a PDF
// file or an Excel workbook. Created once and shown modally by the teacher grid's "打印", sized
// to fit the screen, with the whole page fitted into the window.
class ReportPreview : public QDialog
{
    Q_OBJECT
public:
    ReportPreview(DataModule& data, const Session& session, QWidget* parent = nullptr);
    ~ReportPreview() override;

    // The teacher grid's "打印": with rows in `dtrydm` the list is generated from them (which
    // leaves the holder on its last row) and shown modally; without rows nothing happens and
    // nothing is shown. True when the preview was shown.
    bool previewTeacherList();
    // A page with the toolbar above it, when the screen has room for it.
    static constexpr QSize PreferredSize{900, 1000};
    // Generates the list into the preview without showing it; false, changing nothing, when
    // `dtrydm` has no rows.
    bool generate();

    // The list on show; null before the first generation.
    const TeacherListReport* report() const { return m_report.get(); }
    QPrintPreviewWidget* previewWidget() const { return m_preview; }

    // The pages a print job draws, in order, for what the print dialog chose on `printer`: all
    // pages or the chosen ranges (clamped to the list), in the printer's page order, repeated for
    // the copies when the printer does not make the copies itself.
    static QList<int> printSequence(const QPrinter& printer, int pageCount);

private:
    QAction* addCommand(const char* name, const QString& caption, const std::function<void()>& command);
    void buildToolBar();
    // The preferred size, or less on a screen without room for it.
    void fitToScreen();
    void showPageNumber();
    void onPrintClicked();
    void exportTo(const QString& caption, const QString& filter, const QString& suffix,
                  const std::function<void(const TeacherListReport&, const QString&)>& write);
    QString suggestedPath(const QString& suffix) const;

    DataModule& m_data;
    const Session& m_session;
    std::unique_ptr<QPrinter> m_previewPrinter;
    QPrintPreviewWidget* m_preview;
    QLabel* m_pageNumber;
    std::unique_ptr<TeacherListReport> m_report;
};
