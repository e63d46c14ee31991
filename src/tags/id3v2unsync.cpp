#include "tags/id3v2unsync.h"

#include "tags/byteat.h"

bool UnsyncBytes(const QByteArray &source, QByteArray &destination)
{
    destination.clear();
    destination.reserve(source.size() + source.size() / 16);
    bool inserted = false;
    const qsizetype n = source.size();
    for (qsizetype i = 0; i < n; ++i) {
        const quint8 b = byteAt(source, i);
        destination.append(char(b));
        if (b == 0xFF && (i + 1 == n || byteAt(source, i + 1) == 0x00 || byteAt(source, i + 1) >= 0xE0)) {
            destination.append('\0');
            inserted = true;
        }
    }
    return inserted;
}

bool UnsyncStream(QIODevice &source, QIODevice &destination)
{
    QByteArray out;
    const bool inserted = UnsyncBytes(source.readAll(), out);
    destination.write(out);
    return inserted;
}

QByteArray DeUnsyncBytes(const QByteArray &source)
{
    QByteArray out;
    out.reserve(source.size());
    for (qsizetype i = 0; i < source.size(); ++i) {
        out.append(source.at(i));
        if (byteAt(source, i) == 0xFF && i + 1 < source.size() && source.at(i + 1) == 0)
            ++i;
    }
    return out;
}
