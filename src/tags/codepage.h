#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Which 8-bit character set a tag's untyped texts use. CodePage is a Windows code page
// number; 0 is the system's ANSI code page, which here is always Windows-1252.
struct TCodePage {
    QString Description = QStringLiteral("System default");
    quint32 CodePage = 0;
    qint32 Index = 0;
};

// Bytes of an 8-bit tag text to text. With `autoCorrect` the bytes are read in cp.CodePage;
// otherwise, or when that code page is unknown or the bytes are invalid in it, as Windows-1252.
QString BytesToText(const TCodePage &cp, bool autoCorrect, const QByteArray &bytes);

// Text to the bytes of an 8-bit tag text. Without `autoCorrect` the result is Windows-1252 with
// "?" for characters it lacks. With `autoCorrect` and non-empty text the result is in
// cp.CodePage and ends with a NUL byte, which the caller cuts off with the field's width.
QByteArray TextToBytes(const TCodePage &cp, bool autoCorrect, const QString &text);

// The system's ANSI code page (Windows-1252), byte for byte as Windows maps it.
QString AnsiToText(const QByteArray &bytes);
QByteArray TextToAnsi(const QString &text);
