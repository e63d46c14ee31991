#include "platform/singleinstance.h"

#include "platform/registrymailbox.h"
#include "platform/registrystore.h"
#include "support/savewhole.h"
#include "support/fileutils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

TProgrammSperre *heldLock = nullptr;

// A lock file without its owner's details is what a copy killed while making it leaves; Qt never
// takes such a file for stale. Once it is a few seconds old it cannot be a copy still starting.
bool ohneBesitzer(const QLockFile &lock, const QString &file)
{
    qint64 pid = 0;
    QString host;
    QString app;
    if (lock.getLockInfo(&pid, &host, &app))
        return false;
    const QDateTime modified = QFileInfo(file).lastModified();
    return modified.isValid() && qAbs(modified.secsTo(QDateTime::currentDateTime())) > 5;
}

} // namespace

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
        return TempOrdner();
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
    bool locked = fLock->tryLock(0);
    // Removing fails while a live copy holds the file.
    if (!locked && fLock->error() == QLockFile::LockFailedError && ohneBesitzer(*fLock, sperrDatei()))
        locked = fLock->removeStaleLockFile() && fLock->tryLock(0);
    if (locked) {
        fHeld = true;
        heldLock = this;
        // A caption left by a copy that crashed must not be taken for this copy's window.
        QFile::remove(captionDatei());
        return true;
    }
    return fLock->error() != QLockFile::LockFailedError;
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
    return GanzSpeichern(captionDatei(), caption.toUtf8());
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
