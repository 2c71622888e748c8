#pragma once

#include "store/Database.h"
#include "store/Field.h"

#include <QObject>
#include <QStringList>

#include <optional>

// A named statement holder: a statement kept as lines, run on demand, with a read-only
// result and a cursor on one row. Screens share holders; each puts its own statement in.
class Query : public QObject
{
    Q_OBJECT
public:
    enum class FieldType
    {
        Integer,
        SmallInt,
        Float,
        Text
    };
    enum class Display
    {
        Plain,
        TwoDecimals,
        General
    };

    struct FieldDef
    {
        QString name;
        FieldType type;
        int size = 0; // text fields: GBK bytes
        Display display = Display::Plain;
    };

    struct Bookmark
    {
        QString statement;
        int row = -1;
        QVariantList values;
    };

    explicit Query(const QString& name, QObject* parent = nullptr);

    void setDatabase(Database* db) { m_db = db; }
    Database* database() const { return m_db; }

    // The statement: lines joined by line breaks when it runs.
    void clear() { m_lines.clear(); }
    void add(const QString& line) { m_lines << line; }
    const QStringList& lines() const { return m_lines; }
    QString text() const { return m_lines.join(u'\n'); }
    // close(), clear(), add each line: the usual way a screen replaces the statement.
    void setStatement(const QStringList& lines);

    // Runs the select and stands on its first row.
    void open();
    // Runs an insert, update or delete; returns the rows it changed.
    int execSql();
    // Runs the select only to learn whether it yields any row; the holder stays closed.
    bool hasRows();
    void close();
    bool isActive() const { return m_active; }

    int recordCount() const { return int(m_result.rows.size()); }
    int currentRow() const { return m_row; }
    void first();
    void next();
    void prior();
    void last();
    // Moves the cursor to a row of the result (grids use this for the selected row).
    void moveTo(int row);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }

    // Declared fields: the result must hold each with its type (and text size), and only they are exposed.
    void setDeclaredFields(const QList<FieldDef>& fields) { m_declared = fields; }

    int fieldCount() const;
    QString fieldName(int index) const;
    Display fieldDisplay(int index) const;
    QVariant value(int row, int index) const;

    // Case-blind lookup of a field of the current row; the first match wins. Missing: StoreError.
    Field fieldByName(const QString& name) const;
    std::optional<int> findField(const QString& name) const;

    Bookmark getBookmark() const;
    // Returns to the bookmarked row after the holder was re-opened with the same statement.
    void gotoBookmark(const Bookmark& bookmark);
    // After the current row was deleted: re-opens the result standing on the row before it, or on
    // the new first row when the first row was deleted.
    void reopenAtRowBefore();

signals:
    void opened();
    void closed();
    void currentRowChanged(int row);

private:
    void requireDatabase() const;
    void checkDeclaredFields();
    void setRow(int row);

    QString m_name;
    Database* m_db = nullptr;
    QStringList m_lines;
    Database::Result m_result;
    QList<FieldDef> m_declared;
    QList<int> m_map; // exposed field -> result column
    bool m_active = false;
    int m_row = -1;
    bool m_eof = true;
    bool m_bof = true;
};
