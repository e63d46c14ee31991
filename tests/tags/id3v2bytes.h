#pragma once

// Raw ID3v2 bytes for tests: frames and tags laid out by hand, so the library's own writer is
// not used to build what its reader is tested on.

#include <QByteArray>
#include <QtGlobal>
#include <initializer_list>

namespace v2bytes {

inline QByteArray bytes(std::initializer_list<quint32> values)
{
    QByteArray out;
    for (quint32 v : values)
        out.append(char(v & 0xFF));
    return out;
}

inline QByteArray be32(quint32 n)
{
    return bytes({n >> 24, n >> 16, n >> 8, n});
}

inline QByteArray syncsafe(quint32 n)
{
    return bytes({(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F});
}

// A frame whose size field says `size` (by default the length of `body`).
inline QByteArray frame(int version, const QByteArray &id, const QByteArray &body, quint8 status = 0,
                        quint8 format = 0, qint64 size = -1)
{
    const quint32 n = quint32(size < 0 ? body.size() : size);
    if (version == 2)
        return id + bytes({n >> 16, n >> 8, n}) + body;
    return id + (version == 4 ? syncsafe(n) : be32(n)) + char(status) + char(format) + body;
}

// A tag header for `bodySize` bytes after it.
inline QByteArray header(int version, quint32 bodySize, quint8 flags = 0)
{
    return QByteArray("ID3") + char(version) + char(0) + char(flags) + syncsafe(bodySize);
}

// A whole tag: header, the frames, `padding` zero bytes.
inline QByteArray tag(int version, const QByteArray &frames, int padding = 0, quint8 flags = 0)
{
    return header(version, quint32(frames.size() + padding), flags) + frames + QByteArray(padding, '\0');
}

// Bytes that stand in for audio: never 0xFF, so no frame sync and nothing to unsynchronise.
inline QByteArray audio(int count)
{
    QByteArray a(count, '\0');
    for (int i = 0; i < count; ++i)
        a[i] = char(1 + (i * 7) % 250);
    return a;
}

} // namespace v2bytes
