#include "store/ResultRows.h"

void ResultRows::addInteger(qint64 v)
{
    Cell c;
    c.type = Cell::Type::Integer;
    c.integer = v;
    m_cells.push_back(c);
}

void ResultRows::addNumber(double v)
{
    Cell c;
    c.type = Cell::Type::Number;
    c.number = v;
    m_cells.push_back(c);
}

void ResultRows::addText(std::string_view utf8)
{
    Cell c;
    c.type = Cell::Type::Text;
    const auto found = m_textIndex.find(utf8);
    if (found != m_textIndex.end()) {
        c.index = found->second;
    } else {
        c.index = std::uint32_t(m_texts.size());
        m_texts.push_back(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
        if (m_textIndex.size() < SharedTexts)
            m_textIndex.emplace(std::string(utf8), c.index);
    }
    m_cells.push_back(c);
}

void ResultRows::addBlob(const QByteArray& v)
{
    Cell c;
    c.type = Cell::Type::Blob;
    c.index = std::uint32_t(m_blobs.size());
    m_blobs.push_back(v);
    m_cells.push_back(c);
}

QVariant ResultRows::value(std::size_t row, int column) const
{
    if (column < 0 || column >= m_columns || row >= size())
        return {};
    const Cell& c = m_cells[row * std::size_t(m_columns) + std::size_t(column)];
    switch (c.type) {
    case Cell::Type::Integer:
        return QVariant(c.integer);
    case Cell::Type::Number:
        return QVariant(c.number);
    case Cell::Type::Text:
        return QVariant(m_texts[c.index]);
    case Cell::Type::Blob:
        return QVariant(m_blobs[c.index]);
    case Cell::Type::Null:
        break;
    }
    return {};
}

QVariantList ResultRows::row(std::size_t r) const
{
    QVariantList out;
    out.reserve(m_columns);
    for (int i = 0; i < m_columns; ++i)
        out.push_back(value(r, i));
    return out;
}
