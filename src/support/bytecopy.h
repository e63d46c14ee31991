#pragma once

#include <QFileDevice>
#include <QIODevice>
#include <QtGlobal>
#include <functional>
#include <memory>

// Outcome of one copy. `gelesen` and `geschrieben` are what really moved, also after a failure.
struct TKopierErgebnis {
    qint64 gelesen = 0;
    qint64 geschrieben = 0;
    bool lesefehler = false;    // the source reported an error
    bool schreibfehler = false; // the target reported an error or took fewer bytes than given
    bool zuKurz = false;        // the source ended before the count was reached

    bool fehler() const { return lesefehler || schreibfehler; }
    // Every asked byte arrived at the target.
    bool vollstaendig(qint64 anzahl) const { return !fehler() && !zuKurz && geschrieben == anzahl; }
};

// Copies bytes between two open devices. Between two regular files the kernel copies them
// itself (copy_file_range), in blocks that grow from 128 KiB up to 8 MiB while each takes only a
// few milliseconds; otherwise they go in blocks of 128 KiB through one buffer that lives as long
// as the object, so a whole split or join allocates it once. Files should be opened with
// QIODevice::Unbuffered: then a full disk shows at the block that hit it.
class TByteCopy {
public:
    static constexpr qint64 Blockgroesse = 131072;
    static constexpr qint64 Kernblockgroesse = 8 << 20; // the most the kernel is given at once

    TByteCopy();

    // Copies up to `anzahl` bytes from the current position of `quelle` to the current
    // position of `ziel`, in the blocks described above. Stops at the first error or when
    // the source ends. `nachBlock`, when given, runs after every block written.
    TKopierErgebnis Kopieren(QIODevice &quelle, QIODevice &ziel, qint64 anzahl,
                             const std::function<void()> &nachBlock = {});

    // Milliseconds to wait after every block, from the environment variable
    // ZINDARA_KOPIE_PAUSE_MS (0 when unset). Tests slow a copy down with it, so that a process
    // can be killed at many points of one; a slowed copy takes blocks of 128 KiB throughout.
    static int PauseNachBlock();

    // Tells the system that `datei` will be read from front to back, once.
    static void FortlaufendLesen(QFileDevice &datei);

private:
    struct Freigabe {
        void operator()(char *p) const;
    };
    std::unique_ptr<char, Freigabe> FPuffer;
};
