#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <deque>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The rows of a select, kept compactly: one 16-byte cell per value and each distinct text once
// (results repeat the same year, faculty, section and teacher names row after row).
// Results of tens of thousands of rows (an export, an import's staged file) stay a fraction of
// the size of a list of QVariant rows, and are built faster. Values come out as QVariant: null
// is an invalid QVariant, integers qint64, numbers double, text QString, blobs QByteArray.
class ResultRows
{
public:
    struct Cell
    {
        enum class Type : std::uint8_t
        {
            Null,
            Integer,
            Number,
            Text, // index into the texts
            Blob  // index into the blobs
        };
        Type type = Type::Null;
        union {
            qint64 integer;
            double number;
            std::uint32_t index;
        };
    };

    // Rows are added cell by cell, a row's cells one after another.
    explicit ResultRows(int columns = 0) : m_columns(columns) {}
    void addNull() { m_cells.push_back(Cell{}); }
    void addInteger(qint64 v);
    void addNumber(double v);
    void addText(std::string_view utf8);
    void addBlob(const QByteArray& v);

    // Drops what adding needed: no more rows follow.
    void finish() { m_textIndex = {}; }

    int columnCount() const { return m_columns; }
    std::size_t size() const { return m_columns == 0 ? 0 : m_cells.size() / std::size_t(m_columns); }
    bool empty() const { return size() == 0; }

    QVariant value(std::size_t row, int column) const;
    QVariantList row(std::size_t row) const;
    QVariantList front() const { return row(0); }
    QVariantList operator[](std::size_t r) const { return row(r); }

    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = QVariantList;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = QVariantList;

        const_iterator(const ResultRows* rows, std::size_t at) : m_rows(rows), m_at(at) {}
        QVariantList operator*() const { return m_rows->row(m_at); }
        const_iterator& operator++()
        {
            ++m_at;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return m_at == other.m_at; }

    private:
        const ResultRows* m_rows;
        std::size_t m_at;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    int m_columns = 0;
    // Blocks rather than one array: a growing result is never copied to a larger one.
    std::deque<Cell> m_cells;
    std::vector<QString> m_texts;
    std::vector<QByteArray> m_blobs;

    struct Hash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    // Past this many distinct texts the rest are kept one by one: a column of distinct values
    // gains nothing from the look-up.
    static constexpr std::size_t SharedTexts = 16384;
    std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> m_textIndex;
};
