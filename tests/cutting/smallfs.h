#pragma once

#include <QDir>
#include <QProcess>
#include <QString>

// A tiny tmpfs mounted for the life of the object, to meet a full disk for real. Mounting needs
// root; `ok()` is false where it is not allowed, and the test should skip.
class TKleinesDateisystem
{
public:
    explicit TKleinesDateisystem(const QString &ordner, const QString &groesse = QStringLiteral("256k"))
        : FOrdner(ordner)
    {
        QDir().mkpath(ordner);
        FOk = QProcess::execute(QStringLiteral("mount"),
                                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                 QStringLiteral("size=") + groesse, QStringLiteral("tmpfs"), ordner}) == 0;
    }
    ~TKleinesDateisystem()
    {
        if (FOk)
            QProcess::execute(QStringLiteral("umount"), {FOrdner});
    }
    TKleinesDateisystem(const TKleinesDateisystem &) = delete;
    TKleinesDateisystem &operator=(const TKleinesDateisystem &) = delete;

    bool ok() const { return FOk; }
    QString pfad(const QString &name) const { return FOrdner + QLatin1Char('/') + name; }

private:
    QString FOrdner;
    bool FOk = false;
};
