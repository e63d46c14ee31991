#pragma once

#include <QFile>
#include <QIODevice>
#include <QtGlobal>

// What keeps a user's file whole while the tag writer changes it: a temporary file of our own
// that holds a copy of the file, and an undo that puts the file back from it.

// A "TagTemp.t" file of our own, removed again unless it must keep the user's audio.
class TTagTempFile {
public:
    ~TTagTempFile();
    bool create();
    QFile file;
    bool keep = false;

private:
    bool created = false;
};

// Puts the target back from `source` unless the change completes, so an error result and an
// exception alike leave the file as it was; when even that fails, the backup file stays.
class TTagUndo {
public:
    TTagUndo(QIODevice &source, QIODevice &target, qint64 length, TTagTempFile *backup);
    ~TTagUndo();
    TTagUndo(const TTagUndo &) = delete;
    TTagUndo &operator=(const TTagUndo &) = delete;
    bool done = false;

private:
    QIODevice &source;
    QIODevice &target;
    qint64 length;
    TTagTempFile *backup;
};
