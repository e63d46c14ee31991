// Text encodings inside frames: decoding, encoding and the strings that frames hold.
#include "tags/id3v2frame.h"

#include "tags/byteat.h"

namespace {

QString utf16(const QByteArray &bytes, qint64 from, qint64 count, bool bigEndian)
{
    QString s(count, Qt::Uninitialized);
    for (qint64 i = 0; i < count; ++i) {
        const quint8 a = byteAt(bytes, from + 2 * i), b = byteAt(bytes, from + 2 * i + 1);
        s[i] = QChar(bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a));
    }
    return s;
}

} // namespace

QString TrimBlanks(const QString &text)
{
    const auto blank = [](QChar c) { return c.unicode() <= 32; };
    qsizetype b = 0, e = text.size();
    while (b < e && blank(text.at(b)))
        ++b;
    while (e > b && blank(text.at(e - 1)))
        --e;
    return text.mid(b, e - b);
}

quint8 ByteToTextEncoding(quint8 value)
{
    return value >= 1 && value <= 3 ? value : 0;
}

bool TID3v2Frame::IsUnicodeNeeded(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return true;
    return false;
}

QString TID3v2Frame::DecodeText(qint64 first, qint64 last, quint8 e) const
{
    if (last >= fData.size())
        last = fData.size() - 1;
    if (first < 0)
        first = 0;
    if (last < first)
        return {};
    const qint64 n = last - first + 1;
    QString text;
    switch (ByteToTextEncoding(e)) {
    case 1:
        if (n >= 2 && byteAt(fData, first) == 0xFE && byteAt(fData, first + 1) == 0xFF)
            text = utf16(fData, first + 2, n / 2 - 1, true);
        else if (n >= 2 && byteAt(fData, first) == 0xFF && byteAt(fData, first + 1) == 0xFE)
            text = utf16(fData, first + 2, n / 2 - 1, false);
        else
            text = utf16(fData, first, n / 2, false);
        break;
    case 2:
        text = utf16(fData, first, n / 2, true);
        break;
    case 3:
        text = QString::fromUtf8(fData.mid(first, n));
        break;
    default:
        text = BytesToText(fCharCode, fAutoCorrectCodepage, fData.mid(first, n));
        break;
    }
    return TrimBlanks(text);
}

QByteArray TID3v2Frame::EncodeText(const QString &text, bool unicode) const
{
    if (!unicode)
        return TextToAnsi(text);
    QByteArray out;
    out.reserve(2 + 2 * text.size());
    out.append(char(0xFF)).append(char(0xFE));
    for (QChar c : text)
        out.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    return out;
}

qint64 TID3v2Frame::StringEnd(qint64 start, quint8 e, qint64 &next) const
{
    const qint64 size = fData.size();
    if (e == 1 || e == 2) {
        qint64 i = start;
        while (i + 1 < size && !(fData.at(i) == 0 && fData.at(i + 1) == 0))
            i += 2;
        next = i + 2;
        return i;
    }
    qint64 i = start;
    while (i < size && fData.at(i) != 0)
        ++i;
    next = i + 1;
    return i;
}

QString TID3v2Frame::DecodeString(qint64 start, quint8 e, qint64 &next) const
{
    return DecodeText(start, StringEnd(start, e, next) - 1, e);
}

QByteArray TID3v2Frame::DescribedContent(bool unicode, const QByteArray &prefix, const QString &description,
                                         const QByteArray &rest) const
{
    return QByteArray(1, char(unicode ? 1 : 0)) + prefix + EncodeText(description, unicode) +
           QByteArray(unicode ? 2 : 1, '\0') + rest;
}
