#include "platform/singleinstance.h"

#include "platform/registrymailbox.h"
#include "platform/registrystore.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
TProgrammSperre *heldLock = nullptr;
}

TProgrammSperre::TProgrammSperre(const QString &name) : fName(name), fFolder(ordner()) {}

TProgrammSperre::~TProgrammSperre()
{
    freigeben();
}

QString TProgrammSperre::ordner()
{
    QString folder = qEnvironmentVariable("ZINDARA_RUNTIME_DIR");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

bool TProgrammSperre::erwerben()
{
    if (fHeld)
        return true;
    QDir().mkpath(fFolder);
    fLock = std::make_unique<QLockFile>(sperrDatei());
    // The first copy holds the lock for hours: only a dead owner makes it stale.
    fLock->setStaleLockTime(0);
    if (fLock->tryLock(0)) {
        fHeld = true;
        heldLock = this;
        // A caption left by a copy that crashed must not be taken for this copy's window.
        QFile::remove(captionDatei());
        return true;
    }
    if (fLock->error() == QLockFile::LockFailedError)
        return false;
    return true;
}

void TProgrammSperre::freigeben()
{
    if (!fHeld)
        return;
    QFile::remove(captionDatei());
    fLock->unlock();
    fHeld = false;
    if (heldLock == this)
        heldLock = nullptr;
}

bool CaptionMelden(const QString &caption)
{
    return heldLock && heldLock->captionSchreiben(caption);
}

bool TProgrammSperre::captionSchreiben(const QString &caption)
{
    QSaveFile file(captionDatei());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(caption.toUtf8());
    return file.commit();
}

bool TitelPasst(const QString &caption, const QString &T)
{
    if (caption.isEmpty() || T.isEmpty())
        return false;
    const qsizetype first = caption.indexOf(T);
    return first >= 0 && first == caption.size() - T.size();
}

bool FensterMitTitelSuchen(const TProgrammSperre &sperre, const QString &T)
{
    QFile file(sperre.captionDatei());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return TitelPasst(QString::fromUtf8(file.readAll()), T);
}

bool ProgrammStartPruefen(TProgrammSperre &sperre, const QString &titel, const QStringList &arguments,
                          const QString &mailboxKey, TRegistryStore &store)
{
    if (sperre.erwerben()) {
        // Requests left over from an earlier run are dropped now, before any second start can
        // see this copy's caption; the watcher then keeps everything it finds.
        TRegistrySettings leftOver;
        ReadRegistrySettings(mailboxKey, leftOver, store);
        return true;
    }
    if (!FensterMitTitelSuchen(sperre, titel))
        return false;
    const QString joined = ParameterVerbinden(arguments);
    const TRegistrySettings rs = joined.isEmpty() ? rsSetFocus(QStringLiteral("1")) : rsParameters(joined);
    WriteRegistrySettings(mailboxKey, rs, store);
    return false;
}

bool ProgrammStartPruefen(TProgrammSperre &sperre, const QString &titel, const QStringList &arguments)
{
    TRegistryStore store;
    return ProgrammStartPruefen(sperre, titel, arguments, QStringLiteral("Zindara"), store);
}
