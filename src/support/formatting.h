#pragma once

#include <QString>
#include <QtGlobal>
#include <stdexcept>

// Raised when a text that should hold a number does not.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString &message);
};

// Decimal digits grouped in threes from the right with "." (1234567 -> "1.234.567").
QString Tausenderpunkte(qint64 value);

// Milliseconds as H:MM:SS,fff with `digits` (1..3) fraction digits.
QString ZeitText(qint64 ms, int digits = 3);

// Reads a time text H:MM:SS,fff back into milliseconds; raises EConvertError on malformed text.
qint64 ZeitTextMs(const QString &text);

// Byte count as "1.023 Bytes", "4,76 MegaByte" and so on, in units of 1024.
QString GroesseText(bool trim, qint64 size);

// Whole seconds as "hh:mm:ss".
QString DauerText(qint64 seconds);

// The text without blanks at its ends, blanks being every character up to the space
// (control characters included), as command lines and typed numbers are trimmed.
QString BlanksAbschneiden(const QString &text);

// The text without any "&" (accelerator markers).
QString AmpersandEntfernen(const QString &text);
