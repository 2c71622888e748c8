#include "reports/XlsxTableWriter.h"

#include "reports/ReportFileError.h"
#include "reports/SavedFile.h"
#include "reports/XlsxText.h"

#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>

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

Formats addFormats(lxw_workbook* book)
{
    Formats f{};
    f.title = workbook_add_format(book);
    format_set_bold(f.title);
    format_set_font_size(f.title, 16);
    format_set_align(f.title, LXW_ALIGN_CENTER);
    format_set_align(f.title, LXW_ALIGN_VERTICAL_CENTER);

    f.heading = workbook_add_format(book);
    format_set_bold(f.heading);
    format_set_align(f.heading, LXW_ALIGN_CENTER);
    format_set_border(f.heading, LXW_BORDER_THIN);

    f.text = workbook_add_format(book);
    format_set_align(f.text, LXW_ALIGN_CENTER);
    format_set_border(f.text, LXW_BORDER_THIN);

    f.number = workbook_add_format(book);
    format_set_border(f.number, LXW_BORDER_THIN);

    f.summaryText = workbook_add_format(book);
    format_set_bold(f.summaryText);
    format_set_align(f.summaryText, LXW_ALIGN_CENTER);
    format_set_border(f.summaryText, LXW_BORDER_THIN);

    f.summaryNumber = workbook_add_format(book);
    format_set_bold(f.summaryNumber);
    format_set_border(f.summaryNumber, LXW_BORDER_THIN);
    return f;
}

void writeCell(lxw_worksheet* sheet, int row, int column, const TeacherListTable::Cell& cell, lxw_format* text,
               lxw_format* number)
{
    if (const auto* s = std::get_if<QString>(&cell))
        worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), XlsxText::escaped(*s).constData(), text);
    else if (const auto* n = std::get_if<double>(&cell))
        worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(column), *n, number);
    else
        worksheet_write_blank(sheet, lxw_row_t(row), lxw_col_t(column), number);
}

void fillSheet(lxw_worksheet* sheet, const Formats& f, const TeacherListTable& table)
{
    const int lastColumn = TeacherListTable::columnCount - 1;
    worksheet_set_row(sheet, titleRow, 24, nullptr);
    worksheet_merge_range(sheet, titleRow, 0, titleRow, lxw_col_t(lastColumn),
                          XlsxText::escaped(table.title).constData(), f.title);
    for (int c = 0; c <= lastColumn; ++c)
        worksheet_write_string(sheet, headingRow, lxw_col_t(c), XlsxText::escaped(table.heading.value(c)).constData(),
                               f.heading);
    int r = firstBodyRow;
    for (const TeacherListTable::Row& row : table.rows) {
        const bool summary = r - firstBodyRow >= table.teacherCount;
        for (int c = 0; c <= lastColumn && c < int(row.size()); ++c)
            writeCell(sheet, r, c, row[std::size_t(c)], summary ? f.summaryText : f.text,
                      summary ? f.summaryNumber : f.number);
        ++r;
    }

    const auto widths = columnWidths(table);
    for (int c = 0; c <= lastColumn; ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths[std::size_t(c)], nullptr);
    worksheet_freeze_panes(sheet, firstBodyRow, 0);
    worksheet_set_paper(sheet, paperA4);
    worksheet_fit_to_pages(sheet, 1, 0);
    worksheet_repeat_rows(sheet, titleRow, headingRow);
}

} // namespace

void XlsxTableWriter::write(const QString& path, const TeacherListTable& table)
{
    // The library writes by file name; the finished workbook is then saved like every list file.
    QTemporaryDir work;
    if (!work.isValid())
        throw ReportFileError(path, work.errorString());
    const QString workPath = work.filePath(QStringLiteral("list.xlsx"));

    lxw_workbook* book = workbook_new(QFile::encodeName(workPath).constData());
    if (!book)
        throw ReportFileError(path, QStringLiteral("无法创建工作簿"));
    lxw_worksheet* sheet = workbook_add_worksheet(book, "教师工作量一览表");
    fillSheet(sheet, addFormats(book), table);
    if (const lxw_error error = workbook_close(book); error != LXW_NO_ERROR)
        throw ReportFileError(path, QString::fromUtf8(lxw_strerror(error)));

    QFile written(workPath);
    if (!written.open(QIODevice::ReadOnly))
        throw ReportFileError(path, written.errorString());
    SavedFile::writeBytes(path, written.readAll());
}
