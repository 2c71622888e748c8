#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "masterdata/Organisation.h"
#include "reports/TeacherListReport.h"
#include "reportsui/PrintDialog.h"
#include "reportsui/ReportPreview.h"
#include "session/Session.h"
#include "support/TestStore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString Year = QStringLiteral("2026-2027学年");
const QString Section = QStringLiteral("数学教研室");

// 理学院: 数学教研室 (S01) with `teachers` teachers 教师1 ... (q11 = i, q = i + 1), 物理教研室 (S02)
// without teachers.
void fill(Database& db, int teachers)
{
    db.execute(QStringLiteral("insert into yuanbu (mc) values ('理学院')"));
    db.execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('S01','数学教研室','理学院'),"
                              "('S02','物理教研室','理学院')"));
    for (int i = 1; i <= teachers; ++i)
        db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,q11,q12,q) values ('T%1','教师%2','S01',%2,1,%3)")
                       .arg(i, 3, 10, QLatin1Char('0'))
                       .arg(i)
                       .arg(i + 1));
}

template <typename T> T* child(QWidget* w, const char* name)
{
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

QString toolOutput(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestReportPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void nothingWithoutRows_data();
    void nothingWithoutRows();
    void showsTheListModally();
    void pagesAndZoom();
    void fitsTheScreenAndThePageTheWindow();
    void printSequence_data();
    void printSequence();
    void printsTheChosenPages();
    void printCancelled();
    void exports_data();
    void exports();
    void exportRefused();

private:
    void listSection(const QString& section);

    std::unique_ptr<TestStore> m_store;
    Session m_session;
    std::unique_ptr<ReportPreview> m_preview;
    QTemporaryDir m_dir;
};

void TestReportPreview::init()
{
    MessageBox::setScripted(true);
    FileDialog::setScripted(true);
    PrintDialog::setScripted(true);
    m_store = std::make_unique<TestStore>();
    fill(m_store->db(), 40);
    m_session = Session();
    m_preview = std::make_unique<ReportPreview>(m_store->data(), m_session);
}

void TestReportPreview::listSection(const QString& section)
{
    m_session.select(Selection::section(Year, section));
    Organisation(m_store->data()).listSectionTeachers(section);
}

void TestReportPreview::nothingWithoutRows_data()
{
    QTest::addColumn<QString>("section"); // empty: the list holder was never opened
    QTest::newRow("holder closed") << QString();
    QTest::newRow("section without teachers") << QStringLiteral("物理教研室");
}

void TestReportPreview::nothingWithoutRows()
{
    QFETCH(QString, section);
    if (!section.isEmpty())
        listSection(section);
    bool shown = false;
    QTimer::singleShot(0, this, [&] {
        shown = m_preview->isVisible();
        m_preview->reject();
    });
    QVERIFY(!m_preview->previewTeacherList());
    QTest::qWait(1);
    QVERIFY(!shown);
    QVERIFY(!m_preview->report());
    QVERIFY(MessageBox::shown().empty());
}

void TestReportPreview::showsTheListModally()
{
    listSection(Section);
    m_store->data().dtrydm->moveTo(3);
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
        modal = QApplication::activeModalWidget() == m_preview.get();
        m_preview->reject();
    });
    QVERIFY(m_preview->previewTeacherList());
    QVERIFY(modal);
    QCOMPARE(m_preview->objectName(), QStringLiteral("qrrydm"));
    QCOMPARE(m_preview->report()->title(), QStringLiteral("2026-2027学年数学教研室工作量一览表"));
    QCOMPARE(m_preview->report()->data().rows.size(), std::size_t(40));
    QCOMPARE(m_preview->windowTitle(), QStringLiteral("打印预览 - 2026-2027学年数学教研室工作量一览表"));
    // Generating walked the list to its last row.
    QCOMPARE(m_store->data().dtrydm->currentRow(), 39);
}

void TestReportPreview::pagesAndZoom()
{
    listSection(Section);
    QVERIFY(m_preview->generate());
    m_preview->show();
    QPrintPreviewWidget* pages = m_preview->previewWidget();
    QCOMPARE(pages->pageCount(), 2);
    QCOMPARE(pages->currentPage(), 1);
    auto* pageNumber = child<QLabel>(m_preview.get(), "pageNumber");
    QCOMPARE(pageNumber->text().simplified(), QStringLiteral("第 1 页 / 共 2 页"));
    child<QAction>(m_preview.get(), "nextPage")->trigger();
    QCOMPARE(pages->currentPage(), 2);
    QCOMPARE(pageNumber->text().simplified(), QStringLiteral("第 2 页 / 共 2 页"));
    child<QAction>(m_preview.get(), "firstPage")->trigger();
    QCOMPARE(pages->currentPage(), 1);
    child<QAction>(m_preview.get(), "lastPage")->trigger();
    QCOMPARE(pages->currentPage(), 2);

    const double before = pages->zoomFactor();
    child<QAction>(m_preview.get(), "zoomIn")->trigger();
    QVERIFY(pages->zoomFactor() > before);
    child<QAction>(m_preview.get(), "zoomOut")->trigger();
    child<QAction>(m_preview.get(), "zoomOut")->trigger();
    QVERIFY(pages->zoomFactor() < before);
    child<QAction>(m_preview.get(), "fitPage")->trigger();
    QCOMPARE(pages->zoomMode(), QPrintPreviewWidget::FitInView);
    child<QAction>(m_preview.get(), "close")->trigger();
    QVERIFY(!m_preview->isVisible());
}

// The preview opens inside the screen's free area (the test screen is smaller than the preferred
// size) with the whole page fitted into the window, also after the window is resized.
void TestReportPreview::fitsTheScreenAndThePageTheWindow()
{
    listSection(Section);
    QRect frame;
    QPrintPreviewWidget::ZoomMode zoom = QPrintPreviewWidget::CustomZoom;
    QTimer::singleShot(0, this, [&] {
        frame = m_preview->frameGeometry();
        m_preview->resize(m_preview->width() - 100, m_preview->height() - 100);
        zoom = m_preview->previewWidget()->zoomMode();
        m_preview->reject();
    });
    QVERIFY(m_preview->previewTeacherList());
    const QRect free = m_preview->screen()->availableGeometry();
    QVERIFY2(free.contains(frame), qPrintable(QStringLiteral("%1x%2 at %3,%4 on a free area of %5x%6")
                                                  .arg(frame.width())
                                                  .arg(frame.height())
                                                  .arg(frame.x())
                                                  .arg(frame.y())
                                                  .arg(free.width())
                                                  .arg(free.height())));
    QCOMPARE(zoom, QPrintPreviewWidget::FitInView);
}

void TestReportPreview::printSequence_data()
{
    QTest::addColumn<QString>("ranges"); // empty: all pages
    QTest::addColumn<bool>("lastFirst");
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("collate");
    QTest::addColumn<QList<int>>("sequence");
    QTest::newRow("all") << "" << false << 1 << true << QList<int>{1, 2, 3};
    QTest::newRow("range 2-3") << "2-3" << false << 1 << true << QList<int>{2, 3};
    QTest::newRow("ranges 1,3") << "1,3" << false << 1 << true << QList<int>{1, 3};
    QTest::newRow("range past the end") << "2-9" << false << 1 << true << QList<int>{2, 3};
    QTest::newRow("last page first") << "" << true << 1 << true << QList<int>{3, 2, 1};
    QTest::newRow("two copies collated") << "2-3" << false << 2 << true << QList<int>{2, 3, 2, 3};
    QTest::newRow("two copies uncollated") << "2-3" << false << 2 << false << QList<int>{2, 2, 3, 3};
}

void TestReportPreview::printSequence()
{
    QFETCH(QString, ranges);
    QFETCH(bool, lastFirst);
    QFETCH(int, copies);
    QFETCH(bool, collate);
    QFETCH(QList<int>, sequence);
    // A file printer makes no copies of its own: the job repeats the pages.
    QPrinter printer;
    printer.setOutputFileName(m_dir.filePath(QStringLiteral("sequence.pdf")));
    QVERIFY(!printer.supportsMultipleCopies());
    if (!ranges.isEmpty()) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setPageRanges(QPageRanges::fromString(ranges));
    }
    printer.setPageOrder(lastFirst ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
    printer.setCopyCount(copies);
    printer.setCollateCopies(collate);
    QCOMPARE(ReportPreview::printSequence(printer, 3), sequence);
}

void TestReportPreview::printsTheChosenPages()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed (scripts/install-deps.sh installs it)");
    listSection(Section);
    QVERIFY(m_preview->generate());
    const QString path = m_dir.filePath(QStringLiteral("printed.pdf"));
    // The operator chooses page 2, two copies, and a file as the printer.
    PrintDialog::setNextAnswer([&](QPrinter& printer) {
        printer.setOutputFileName(path);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setPageRanges(QPageRanges::fromString(QStringLiteral("2")));
        printer.setCopyCount(2);
        return true;
    });
    child<QAction>(m_preview.get(), "print")->trigger();
    QCOMPARE(PrintDialog::asked().size(), std::size_t(1));
    QCOMPARE(PrintDialog::asked().front().minPage, 1);
    QCOMPARE(PrintDialog::asked().front().maxPage, 2);
    QVERIFY(MessageBox::shown().empty());
    const QString info = toolOutput(QStringLiteral("pdfinfo"), {path});
    QVERIFY2(info.simplified().contains(QStringLiteral("Pages: 2 ")), qPrintable(info));
    const QString text =
        toolOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")}).simplified();
    QCOMPARE(text.count(QStringLiteral("页码： 2")), 2);
    QCOMPARE(text.count(QStringLiteral("页码： 1")), 0);
    QCOMPARE(text.count(QStringLiteral("38 教师38")), 2);
    QCOMPARE(text.count(QStringLiteral("2026-2027学年数学教研室工作量一览表")), 2);
}

void TestReportPreview::printCancelled()
{
    listSection(Section);
    QVERIFY(m_preview->generate());
    const QString path = m_dir.filePath(QStringLiteral("cancelled.pdf"));
    PrintDialog::setNextAnswer([&](QPrinter& printer) {
        printer.setOutputFileName(path);
        return false;
    });
    child<QAction>(m_preview.get(), "print")->trigger();
    QCOMPARE(PrintDialog::asked().size(), std::size_t(1));
    QVERIFY(!QFile::exists(path));
}

void TestReportPreview::exports_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("magic");
    QTest::newRow("PDF") << "exportPdf" << QStringLiteral("导出PDF") << QStringLiteral("PDF 文件 (*.pdf)") << "list.pdf"
                         << "list.pdf" << QByteArray("%PDF");
    QTest::newRow("PDF without suffix") << "exportPdf" << QStringLiteral("导出PDF")
                                        << QStringLiteral("PDF 文件 (*.pdf)") << "list"
                                        << "list.pdf" << QByteArray("%PDF");
    QTest::newRow("Excel") << "exportExcel" << QStringLiteral("导出Excel") << QStringLiteral("Excel 工作簿 (*.xlsx)")
                           << "list.xlsx"
                           << "list.xlsx" << QByteArray("PK");
    QTest::newRow("cancelled") << "exportExcel" << QStringLiteral("导出Excel")
                               << QStringLiteral("Excel 工作簿 (*.xlsx)") << ""
                               << "" << QByteArray();
}

void TestReportPreview::exports()
{
    QFETCH(QString, action);
    QFETCH(QString, caption);
    QFETCH(QString, filter);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(QByteArray, magic);
    listSection(Section);
    QVERIFY(m_preview->generate());
    QTemporaryDir dir;
    FileDialog::setNextPath(chosen.isEmpty() ? QString() : dir.filePath(chosen));
    child<QAction>(m_preview.get(), qPrintable(action))->trigger();

    QCOMPARE(FileDialog::asked().size(), std::size_t(1));
    const FileDialog::Asked& asked = FileDialog::asked().front();
    QCOMPARE(asked.caption, caption);
    QCOMPARE(asked.filter, filter);
    QVERIFY(asked.save);
    const QString suffix = action == u"exportPdf" ? QStringLiteral(".pdf") : QStringLiteral(".xlsx");
    QCOMPARE(asked.startDir, QDir::home().filePath(QStringLiteral("2026-2027学年数学教研室工作量一览表") + suffix));
    if (written.isEmpty()) {
        QVERIFY(QDir(dir.path()).isEmpty());
        QVERIFY(MessageBox::shown().empty());
        return;
    }
    QFile file(dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith(magic));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
    QCOMPARE(MessageBox::shown().size(), std::size_t(1));
    QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("提示信息"));
    QVERIFY(MessageBox::shown().front().text.contains(written));
}

void TestReportPreview::exportRefused()
{
    listSection(Section);
    QVERIFY(m_preview->generate());
    const QString path = m_dir.filePath(QStringLiteral("missing/list.pdf"));
    FileDialog::setNextPath(path);
    child<QAction>(m_preview.get(), "exportPdf")->trigger();
    QCOMPARE(MessageBox::shown().size(), std::size_t(1));
    const MessageBox::Shown& box = MessageBox::shown().front();
    QCOMPARE(box.caption, QStringLiteral("错误"));
    QCOMPARE(box.icon, MessageBox::Error);
    QVERIFY2(box.text.contains(path), qPrintable(box.text));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(TestReportPreview)
#include "tst_report_preview.moc"
