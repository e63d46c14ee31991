#pragma once

#include <QFile>
#include <QIODevice>

// A stretch of a file seen as a device of its own: position 0 is byte `anfang` of the file, and
// it ends after `anzahl` bytes. Lets an analysis of a working copy run on the opened file instead.
class TDateiFenster : public QIODevice {
public:
    TDateiFenster(const QString &datei, qint64 anfang, qint64 anzahl);

    // Opens the file read-only; false when it cannot be opened.
    bool open(OpenMode mode) override;
    void close() override;
    bool isSequential() const override { return false; }
    qint64 size() const override { return FAnzahl; }
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QFile FDatei;
    qint64 FAnfang;
    qint64 FAnzahl;
};
