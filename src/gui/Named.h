#pragma once

#include <QString>

// A widget (or any QObject) with its object name, the name tests and screens find it by.
template <typename T> T* named(T* object, const char* name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

template <typename T> T* named(T* object, const QString& name)
{
    object->setObjectName(name);
    return object;
}
