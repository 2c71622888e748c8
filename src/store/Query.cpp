#include "store/Query.h"

#include <QRegularExpression>

Query::Query(const QString& name, QObject* parent) : QObject(parent), m_name(name)
{
    setObjectName(name);
}

void Query::requireDatabase() const
{
    if (!m_db)
        throw StoreError(QStringLiteral("%1: 没有连接数据库").arg(m_name));
}

void Query::setStatement(const QStringList& lines)
{
    close();
    clear();
    for (const QString& line : lines)
        add(line);
}

void Query::open()
{
    requireDatabase();
    close();
    m_result = m_db->select(text());
    try {
        checkDeclaredFields();
    } catch (...) {
        m_result = Database::Result();
        throw;
    }
    m_active = true;
    m_row = m_result.rows.empty() ? -1 : 0;
    m_eof = m_result.rows.empty();
    m_bof = true;
    emit opened();
    emit currentRowChanged(m_row);
}

int Query::execSql()
{
    requireDatabase();
    close();
    return m_db->execute(text());
}

bool Query::hasRows()
{
    requireDatabase();
    close();
    return m_db->hasRows(text());
}

void Query::close()
{
    if (!m_active)
        return;
    m_active = false;
    m_result = Database::Result();
    m_map.clear();
    m_row = -1;
    m_eof = m_bof = true;
    emit closed();
}

void Query::checkDeclaredFields()
{
    m_map.clear();
    if (m_declared.isEmpty())
        return;
    static const QRegularExpression sized(QStringLiteral("^(?:VAR)?CHAR\\((\\d+)\\)$"));
    for (const FieldDef& def : m_declared) {
        int found = -1;
        for (int i = 0; i < m_result.columns.size(); ++i) {
            if (m_result.columns[i].name.compare(def.name, Qt::CaseInsensitive) == 0) {
                found = i;
                break;
            }
        }
        if (found < 0)
            throw StoreError(QStringLiteral("%1: 字段 %2 不存在").arg(m_name, def.name), text());
        const QString type = m_result.columns[found].declaredType;
        bool matches = false;
        switch (def.type) {
        case FieldType::Integer:
            matches = type == u"INTEGER" || type == u"INT";
            break;
        case FieldType::SmallInt:
            matches = type == u"SMALLINT";
            break;
        case FieldType::Float:
            matches = type == u"REAL" || type == u"DOUBLE" || type == u"FLOAT";
            break;
        case FieldType::Text: {
            const auto m = sized.match(type);
            matches = m.hasMatch() && m.captured(1).toInt() == def.size;
            break;
        }
        }
        if (!matches)
            throw StoreError(QStringLiteral("%1: 字段 %2 的类型不符 (%3)").arg(m_name, def.name, type), text());
        m_map << found;
    }
}

int Query::fieldCount() const
{
    return m_declared.isEmpty() ? int(m_result.columns.size()) : int(m_declared.size());
}

QString Query::fieldName(int index) const
{
    if (!m_declared.isEmpty())
        return m_declared.value(index).name;
    return index >= 0 && index < m_result.columns.size() ? m_result.columns[index].name : QString();
}

Query::Display Query::fieldDisplay(int index) const
{
    return m_declared.isEmpty() ? Display::General : m_declared.value(index).display;
}

QVariant Query::value(int row, int index) const
{
    if (row < 0 || row >= recordCount())
        return {};
    const int column = m_declared.isEmpty() ? index : m_map.value(index, -1);
    return m_result.rows.value(std::size_t(row), column);
}

std::optional<int> Query::findField(const QString& name) const
{
    for (int i = 0; i < fieldCount(); ++i)
        if (fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return std::nullopt;
}

Field Query::fieldByName(const QString& name) const
{
    if (!m_active)
        throw StoreError(QStringLiteral("%1: 数据集没有打开").arg(m_name), text());
    const auto index = findField(name);
    if (!index)
        throw StoreError(QStringLiteral("%1: 字段 %2 不存在").arg(m_name, name), text());
    return Field(fieldName(*index), value(m_row, *index));
}

void Query::setRow(int row)
{
    if (row != m_row) {
        m_row = row;
        emit currentRowChanged(row);
    }
}

void Query::first()
{
    m_bof = true;
    m_eof = recordCount() == 0;
    setRow(recordCount() ? 0 : -1);
}

void Query::last()
{
    m_eof = true;
    m_bof = recordCount() == 0;
    setRow(recordCount() - 1);
}

void Query::next()
{
    if (recordCount() == 0 || m_row >= recordCount() - 1) {
        m_eof = true;
        return;
    }
    m_bof = false;
    setRow(m_row + 1);
}

void Query::prior()
{
    if (recordCount() == 0 || m_row <= 0) {
        m_bof = true;
        return;
    }
    m_eof = false;
    m_bof = false;
    setRow(m_row - 1);
}

void Query::moveTo(int row)
{
    if (row < 0 || row >= recordCount())
        return;
    m_bof = false;
    m_eof = false;
    setRow(row);
}

Query::Bookmark Query::getBookmark() const
{
    Bookmark b;
    b.statement = text();
    b.row = m_row;
    if (m_row >= 0)
        b.values = m_result.rows.row(std::size_t(m_row));
    return b;
}

void Query::reopenAtRowBefore()
{
    prior();
    std::optional<Bookmark> before;
    if (!bof())
        before = getBookmark();
    close();
    open();
    if (before)
        gotoBookmark(*before);
}

void Query::gotoBookmark(const Bookmark& bookmark)
{
    if (!m_active || bookmark.row < 0 || recordCount() == 0)
        return;
    // The same row again: the nearest row with the bookmarked values; failing that, the same position.
    int best = -1;
    for (int distance = 0; best < 0 && distance < recordCount(); ++distance) {
        for (const int candidate : {bookmark.row - distance, bookmark.row + distance}) {
            if (candidate >= 0 && candidate < recordCount() &&
                m_result.rows.row(std::size_t(candidate)) == bookmark.values) {
                best = candidate;
                break;
            }
        }
    }
    if (best < 0)
        best = std::min(bookmark.row, recordCount() - 1);
    moveTo(best);
}
