#include "tags/tagbackup.h"

#include "support/bytecopy.h"
#include "tags/id3v2tag.h"

#include <QFileInfo>

namespace {

// Puts the whole of `backup` back at the start of `target` and cuts the target to `length`.
bool restoreFrom(QIODevice &backup, QIODevice &target, qint64 length)
{
    TByteCopy copy;
    bool ok =
        backup.seek(0) && target.seek(0) && copy.Kopieren(backup, target, backup.size()).vollstaendig(backup.size());
    ok = ok && target.seek(length);
    SetStreamEnd(target);
    if (auto *file = qobject_cast<QFileDevice *>(&target))
        ok = file->flush() && ok;
    return ok && target.size() == length;
}

} // namespace

TTagTempFile::~TTagTempFile()
{
    if (!created)
        return;
    file.close();
    if (!keep)
        file.remove();
}

bool TTagTempFile::create()
{
    // Another program may take a free name between the look-up and the creation.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = TID3v2Tag::GetTempTagFileName();
        if (name.isEmpty())
            return false;
        file.setFileName(name);
        if (file.open(QIODevice::ReadWrite | QIODevice::NewOnly)) {
            created = true;
            return true;
        }
        if (!QFileInfo::exists(file.fileName()))
            return false;
    }
    return false;
}

TTagUndo::TTagUndo(QIODevice &source, QIODevice &target, qint64 length, TTagTempFile *backup)
    : source(source), target(target), length(length), backup(backup)
{
}

TTagUndo::~TTagUndo()
{
    if (done)
        return;
    bool restored = false;
    try {
        restored = restoreFrom(source, target, length);
    } catch (...) {
    }
    if (!restored && backup != nullptr)
        backup->keep = true;
}
