#include "cutting/piecenames.h"

#include <QFile>

QString NeueDatei(const QString &oriFilename, int Nr)
{
    const qsizetype ordner = oriFilename.lastIndexOf(QLatin1Char('/'));
    qsizetype punkt = oriFilename.lastIndexOf(QLatin1Char('.'));
    if (punkt <= ordner)
        punkt = oriFilename.size();
    return oriFilename.left(punkt) + QLatin1Char('_') + QStringLiteral("%1").arg(Nr, 4, 10, QLatin1Char('0'))
           + oriFilename.mid(punkt);
}

void DateiattributeLoeschen(const QString &name)
{
    QFile datei(name);
    if (datei.exists())
        datei.setPermissions(datei.permissions() | QFileDevice::WriteOwner);
}
