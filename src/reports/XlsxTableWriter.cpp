#include "reports/XlsxTableWriter.h"

#include "reports/ReportFileError.h"
#include "reports/SavedFile.h"
#include "reports/XlsxText.h"

#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

constexpr int titleRow = 0;
constexpr int headingRow = 1;
constexpr int firstBodyRow = 2;
constexpr uint8_t paperA4 = 9;

// Display width in character cells: GBK bytes, two for every character outside ASCII.
int cellWidth(const QString& text)
{
    int width = 0;
    for (const QChar c : text)
        if (!c.isLowSurrogate())
            width += c.unicode() < 0x80 ? 1 : 2;
    return width;
}

std::array<double, TeacherListTable::columnCount> columnWidths(const TeacherListTable& table)
{
    std::array<int, TeacherListTable::columnCount> widest{};
    for (int c = 0; c < TeacherListTable::columnCount; ++c)
        widest[std::size_t(c)] = cellWidth(table.heading.value(c));
    for (const TeacherListTable::Row& row : table.rows)
        for (std::size_t c = 0; c < row.size() && c < widest.size(); ++c)
            widest[c] = std::max(widest[c], cellWidth(TeacherListTable::text(row[c])));
    std::array<double, TeacherListTable::columnCount> widths{};
    for (std::size_t c = 0; c < widths.size(); ++c)
        widths[c] = std::clamp(widest[c] + 2, 6, 60);
    return widths;
}

struct Formats
{
    lxw_format* title;
    lxw_format* heading;
    lxw_format* text;
    lxw_format* number;
    lxw_format* summaryText;
    lxw_format* summaryNumber;
};

// How a cell of the table looks (the title has a look of its own).
struct Look
{
    bool bold;
    bool centred;
};

lxw_format* addFormat(lxw_workbook* book, Look look)
{
    lxw_format* format = workbook_add_format(book);
    if (look.bold)
        format_set_bold(format);
    if (look.centred)
        format_set_align(format, LXW_ALIGN_CENTER);
    format_set_border(format, LXW_BORDER_THIN);
    return format;
}

Formats addFormats(lxw_workbook* book)
{
    Formats f{};
    f.title = workbook_add_format(book);
    format_set_bold(f.title);
    format_set_font_size(f.title, 16);
    format_set_align(f.title, LXW_ALIGN_CENTER);
    format_set_align(f.title, LXW_ALIGN_VERTICAL_CENTER);
    f.heading = addFormat(book, {.bold = true, .centred = true});
    f.text = addFormat(book, {.bold = false, .centred = true});
    f.number = addFormat(book, {.bold = false, .centred = false});
    f.summaryText = addFormat(book, {.bold = true, .centred = true});
    f.summaryNumber = addFormat(book, {.bold = true, .centred = false});
    return f;
}

// The worksheet of one file: every call that the library may refuse (a text too long for a cell,
// no memory) is checked, and the first refusal ends the file.
class Sheet
{
public:
    Sheet(lxw_worksheet* sheet, const QString& path) : m_sheet(sheet), m_path(path) {}

    void writeCell(int row, int column, const TeacherListTable::Cell& cell, lxw_format* text, lxw_format* number) const
    {
        const auto r = lxw_row_t(row);
        const auto c = lxw_col_t(column);
        if (const auto* s = std::get_if<QString>(&cell))
            check(worksheet_write_string(m_sheet, r, c, XlsxText::escaped(*s).constData(), text));
        else if (const auto* n = std::get_if<double>(&cell))
            check(worksheet_write_number(m_sheet, r, c, *n, number));
        else
            check(worksheet_write_blank(m_sheet, r, c, number));
    }

    void fill(const Formats& f, const TeacherListTable& table) const
    {
        const int lastColumn = TeacherListTable::columnCount - 1;
        check(worksheet_set_row(m_sheet, titleRow, 24, nullptr));
        check(worksheet_merge_range(m_sheet, titleRow, 0, titleRow, lxw_col_t(lastColumn),
                                    XlsxText::escaped(table.title).constData(), f.title));
        for (int c = 0; c <= lastColumn; ++c)
            writeCell(headingRow, c, table.heading.value(c), f.heading, f.heading);
        int r = firstBodyRow;
        for (const TeacherListTable::Row& row : table.rows) {
            const bool summary = r - firstBodyRow >= table.teacherCount;
            for (int c = 0; c <= lastColumn && c < int(row.size()); ++c)
                writeCell(r, c, row[std::size_t(c)], summary ? f.summaryText : f.text,
                          summary ? f.summaryNumber : f.number);
            ++r;
        }
        layOut(table);
    }

private:
    // Column widths, the frozen heading and the printed page.
    void layOut(const TeacherListTable& table) const
    {
        const auto widths = columnWidths(table);
        for (int c = 0; c < TeacherListTable::columnCount; ++c)
            check(worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), widths[std::size_t(c)], nullptr));
        worksheet_freeze_panes(m_sheet, firstBodyRow, 0);
        worksheet_set_paper(m_sheet, paperA4);
        worksheet_fit_to_pages(m_sheet, 1, 0);
        check(worksheet_repeat_rows(m_sheet, titleRow, headingRow));
    }

    void check(lxw_error error) const
    {
        if (error != LXW_NO_ERROR)
            throw ReportFileError(m_path, QString::fromUtf8(lxw_strerror(error)));
    }

    lxw_worksheet* m_sheet;
    QString m_path;
};

} // namespace

void XlsxTableWriter::write(const QString& path, const TeacherListTable& table)
{
    // The library writes by file name; the finished workbook is then saved like every list file.
    QTemporaryDir work;
    if (!work.isValid())
        throw ReportFileError(path, work.errorString());
    const QString workPath = work.filePath(QStringLiteral("list.xlsx"));

    // Closing the workbook writes and frees it; a refused cell frees it unwritten.
    std::unique_ptr<lxw_workbook, void (*)(lxw_workbook*)> book(workbook_new(QFile::encodeName(workPath).constData()),
                                                                lxw_workbook_free);
    lxw_worksheet* sheet = book ? workbook_add_worksheet(book.get(), "教师工作量一览表") : nullptr;
    if (!sheet)
        throw ReportFileError(path, QStringLiteral("无法创建工作簿"));
    Sheet(sheet, path).fill(addFormats(book.get()), table);
    if (const lxw_error error = workbook_close(book.release()); error != LXW_NO_ERROR)
        throw ReportFileError(path, QString::fromUtf8(lxw_strerror(error)));

    QFile written(workPath);
    if (!written.open(QIODevice::ReadOnly))
        throw ReportFileError(path, written.errorString());
    SavedFile::writeBytes(path, written.readAll());
}
