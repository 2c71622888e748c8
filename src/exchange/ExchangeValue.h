#pragma once

#include <QtGlobal>

#include <string_view>

// One value of an exchange row as the readers give it and the writers take it, without a copy:
// text is UTF-8 and stays valid only until the next row.
struct ExchangeValue
{
    enum class Type : quint8
    {
        Null,
        Integer,
        Number,
        Text
    };
    Type type = Type::Null;
    qint64 integer = 0;
    double number = 0;
    std::string_view text;

    static ExchangeValue null() { return {}; }
    static ExchangeValue ofInteger(qint64 v) { return {Type::Integer, v, 0, {}}; }
    static ExchangeValue ofNumber(double v) { return {Type::Number, 0, v, {}}; }
    static ExchangeValue ofText(std::string_view v) { return {Type::Text, 0, 0, v}; }
};
