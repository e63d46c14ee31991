#include "support/filewindow.h"

TDateiFenster::TDateiFenster(const QString &datei, qint64 anfang, qint64 anzahl)
    : FDatei(datei), FAnfang(qMax<qint64>(0, anfang)), FAnzahl(qMax<qint64>(0, anzahl))
{
}

bool TDateiFenster::open(OpenMode mode)
{
    if ((mode & WriteOnly) || !FDatei.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    if (!FDatei.seek(FAnfang)) {
        FDatei.close();
        return false;
    }
    return QIODevice::open(mode | Unbuffered);
}

void TDateiFenster::close()
{
    QIODevice::close();
    FDatei.close();
}

bool TDateiFenster::seek(qint64 pos)
{
    return pos >= 0 && FDatei.seek(FAnfang + pos) && QIODevice::seek(pos);
}

qint64 TDateiFenster::readData(char *data, qint64 maxSize)
{
    const qint64 rest = FAnzahl - pos();
    if (rest <= 0)
        return 0;
    return FDatei.read(data, qMin(maxSize, rest));
}
