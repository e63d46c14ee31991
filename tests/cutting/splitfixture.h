#pragma once

#include "support/tempdir.h"
#include "cutting/splitter.h"

#include <QByteArray>
#include <QFile>

// Bytes that differ from position to position, so a piece taken from the wrong offset shows.
inline QByteArray muster(qint64 n, quint32 seed = 7)
{
    QByteArray b(n, Qt::Uninitialized);
    quint32 x = seed;
    for (qint64 i = 0; i < n; ++i) {
        x = x * 1664525u + 1013904223u;
        b[i] = char(x >> 24);
    }
    return b;
}

// A working copy in the test's folder and an opened file beside it, whose pieces land there too.
class SplitTest : public TempDirTest {
protected:
    TTeilAuftrag auftragFuer(const QByteArray &arbeitskopie)
    {
        daten = arbeitskopie;
        return {writeFile(QStringLiteral("TmpZinS1.mp3"), arbeitskopie), path(QStringLiteral("Kapitel.mp3")),
                arbeitskopie.size()};
    }
    QString teil(int nr) const { return path(QStringLiteral("Kapitel_%1.mp3").arg(nr, 4, 10, QLatin1Char('0'))); }

    QByteArray daten;
};
