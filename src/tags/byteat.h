#pragma once

#include <QByteArray>
#include <QtGlobal>

// The byte at `i` as an unsigned number.
inline quint8 byteAt(const QByteArray &a, qint64 i)
{
    return quint8(a.at(i));
}
