#include "support/formatting.h"

EConvertError::EConvertError(const QString &message) : std::runtime_error(message.toStdString()) {}

QString Tausenderpunkte(qint64 value)
{
    QString digits = QString::number(value);
    const int len = digits.size();
    QString result;
    result.reserve(len + len / 3);
    for (int i = 0; i < len; ++i) {
        result += digits[i];
        const int left = len - 1 - i;
        if (left > 0 && left % 3 == 0 && digits[i] != QLatin1Char('-'))
            result += QLatin1Char('.');
    }
    return result;
}

static QString zweiStellen(qint64 v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

QString ZeitText(qint64 ms, int digits)
{
    digits = qBound(1, digits, 3);
    qint64 divisor = 1;
    for (int i = digits; i < 3; ++i)
        divisor *= 10;
    const qint64 hours = ms / 3600000;
    const qint64 minutes = (ms / 1000) % 3600 / 60;
    const qint64 seconds = (ms / 1000) % 60;
    const qint64 fraction = (ms % 1000) / divisor;
    return QStringLiteral("%1:%2:%3,%4")
        .arg(hours)
        .arg(zweiStellen(minutes), zweiStellen(seconds))
        .arg(fraction, digits, 10, QLatin1Char('0'));
}

// The standard string-to-integer conversion: leading blanks, an optional sign, decimal digits.
static qint64 strToInt(const QString &piece)
{
    int i = 0;
    while (i < piece.size() && piece[i] == QLatin1Char(' '))
        ++i;
    bool ok = false;
    const qint64 v = piece.mid(i).toLongLong(&ok, 10);
    const QString rest = piece.mid(i);
    if (!ok || rest.isEmpty() || rest.contains(QLatin1Char(' ')))
        throw EConvertError(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(piece));
    return v;
}

// Cuts the text before the first `sep` off `rest` (all of it when there is none).
static QString nextPiece(QString &rest, QChar sep)
{
    const int p = rest.indexOf(sep);
    if (p < 0) {
        // A missing separator gives an empty piece.
        return QString();
    }
    QString piece = rest.left(p);
    rest.remove(0, p + 1);
    return piece;
}

qint64 ZeitTextMs(const QString &text)
{
    QString rest = text;
    const qint64 hours = strToInt(nextPiece(rest, QLatin1Char(':')));
    const qint64 minutes = strToInt(nextPiece(rest, QLatin1Char(':')));
    const qint64 seconds = strToInt(nextPiece(rest, QLatin1Char(',')));
    const qint64 fraction = strToInt(rest);
    return (hours * 3600 + minutes * 60 + seconds) * 1000 + fraction;
}

static QString mitBruch(qint64 whole, qint64 remainder, const char *unit)
{
    const qint64 f = remainder * 100 / 1024;
    return QStringLiteral("%1,%2 %3").arg(Tausenderpunkte(whole), zweiStellen(f), QLatin1String(unit));
}

QString GroesseText(bool trim, qint64 size)
{
    QString result;
    const qint64 k = size / 1024;
    if (size <= 0 || k == 0) {
        result = QStringLiteral("%1 Bytes   ").arg(Tausenderpunkte(size));
    } else if (k / 1024 == 0) {
        result = QStringLiteral("%1 KiloByte").arg(Tausenderpunkte(k));
    } else {
        const qint64 m = k / 1024;
        if (m / 1024 == 0) {
            result = mitBruch(m, k % 1024, "MegaByte");
        } else {
            const qint64 g = m / 1024;
            if (g / 1024 == 0)
                result = mitBruch(g, m % 1024, "GigaByte");
            else
                result = mitBruch(g / 1024, g % 1024, "TeraByte");
        }
    }
    if (trim) {
        while (result.endsWith(QLatin1Char(' ')))
            result.chop(1);
    }
    return result;
}

QString DauerText(qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(zweiStellen(seconds / 3600), zweiStellen((seconds % 3600) / 60), zweiStellen(seconds % 60));
}

QString AmpersandEntfernen(const QString &text)
{
    QString result = text;
    result.remove(QLatin1Char('&'));
    return result;
}

QString BlanksAbschneiden(const QString &text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from).unicode() <= ' ')
        ++from;
    while (to > from && text.at(to - 1).unicode() <= ' ')
        --to;
    return text.mid(from, to - from);
}
