#include "stats/StatsXlsxWriter.h"

#include "reports/ReportFileError.h"
#include "reports/SavedFile.h"
#include "reports/XlsxText.h"

#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <memory>

namespace {

struct Formats
{
    lxw_format* title;
    lxw_format* heading;
    lxw_format* text;
    lxw_format* number;
};

Formats addFormats(lxw_workbook* book)
{
    Formats f{};
    f.title = workbook_add_format(book);
    format_set_bold(f.title);
    format_set_font_size(f.title, 14);
    f.heading = workbook_add_format(book);
    format_set_bold(f.heading);
    format_set_border(f.heading, LXW_BORDER_THIN);
    f.text = workbook_add_format(book);
    format_set_border(f.text, LXW_BORDER_THIN);
    f.number = workbook_add_format(book);
    format_set_border(f.number, LXW_BORDER_THIN);
    format_set_num_format(f.number, "0.##");
    return f;
}

int cellWidth(const QString& text)
{
    int width = 0;
    for (const QChar c : text)
        if (!c.isLowSurrogate())
            width += c.unicode() < 0x80 ? 1 : 2;
    return width;
}

class Sheet
{
public:
    Sheet(lxw_worksheet* sheet, const QString& path, const Formats& formats)
        : m_sheet(sheet), m_path(path), m_formats(formats)
    {}

    void fill(const QString& title, const StatsView& view)
    {
        text(0, 0, title, m_formats.title);
        int row = 2;
        for (const StatsTable& table : view.tables) {
            text(row++, 0, table.caption, m_formats.heading);
            for (int c = 0; c < table.heading.size(); ++c)
                text(row, c, table.heading[c], m_formats.heading);
            ++row;
            for (const StatsTable::Row& cells : table.rows) {
                for (std::size_t c = 0; c < cells.size(); ++c)
                    cell(row, int(c), cells[c]);
                ++row;
            }
            ++row;
        }
        for (std::size_t c = 0; c < m_widths.size(); ++c)
            check(
                worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), std::clamp(m_widths[c] + 2, 8, 40), nullptr));
    }

private:
    void text(int row, int column, const QString& value, lxw_format* format)
    {
        check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column), XlsxText::escaped(value).constData(),
                                     format));
        widen(column, value);
    }

    void cell(int row, int column, const StatsTable::Cell& value)
    {
        if (const auto* s = std::get_if<QString>(&value))
            text(row, column, *s, m_formats.text);
        else if (const auto* n = std::get_if<double>(&value)) {
            check(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), *n, m_formats.number));
            widen(column, StatsTable::text(value));
        } else
            check(worksheet_write_blank(m_sheet, lxw_row_t(row), lxw_col_t(column), m_formats.text));
    }

    void widen(int column, const QString& value)
    {
        if (std::size_t(column) >= m_widths.size())
            m_widths.resize(std::size_t(column) + 1, 0);
        if (column > 0 || value.size() < 20) // the title and captions may run over
            m_widths[std::size_t(column)] = std::max(m_widths[std::size_t(column)], cellWidth(value));
    }

    void check(lxw_error error) const
    {
        if (error != LXW_NO_ERROR)
            throw ReportFileError(m_path, QString::fromUtf8(lxw_strerror(error)));
    }

    lxw_worksheet* m_sheet;
    QString m_path;
    Formats m_formats;
    std::vector<int> m_widths;
};

} // namespace

void StatsXlsxWriter::write(const QString& path, const QString& title, const std::vector<StatsView>& views)
{
    QTemporaryDir work;
    if (!work.isValid())
        throw ReportFileError(path, work.errorString());
    const QString workPath = work.filePath(QStringLiteral("stats.xlsx"));
    std::unique_ptr<lxw_workbook, void (*)(lxw_workbook*)> book(workbook_new(QFile::encodeName(workPath).constData()),
                                                                lxw_workbook_free);
    if (!book)
        throw ReportFileError(path, QStringLiteral("无法创建工作簿"));
    const Formats formats = addFormats(book.get());
    for (const StatsView& view : views) {
        lxw_worksheet* sheet = workbook_add_worksheet(book.get(), view.name.toUtf8().constData());
        if (!sheet)
            throw ReportFileError(path, QStringLiteral("无法创建工作表 %1").arg(view.name));
        Sheet(sheet, path, formats).fill(title, view);
    }
    if (const lxw_error error = workbook_close(book.release()); error != LXW_NO_ERROR)
        throw ReportFileError(path, QString::fromUtf8(lxw_strerror(error)));
    QFile written(workPath);
    if (!written.open(QIODevice::ReadOnly))
        throw ReportFileError(path, written.errorString());
    SavedFile::writeBytes(path, written.readAll());
}
