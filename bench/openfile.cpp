// What the program does when it opens a file, as a process of its own for commandbench to time:
// reserve the working copy's name, write the working copy while the player's scan measures the
// length, remove the copy. Prints the length in milliseconds.
//
//     benchopen FILE

#include "decoder/mp3length.h"
#include "decoder/workingcopyopen.h"
#include "support/fileutils.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    QString kopie;
    try {
        kopie = TempMp3Name();
    } catch (const EFileError &) {
        return 1;
    }
    const TGeoeffneteKopie k = ArbeitskopieOeffnen(app.arguments().at(1), kopie);
    const qint64 ms = !k.kopiert ? -1 : k.decoder ? Mp3LaengeMs(*k.decoder) : Mp3LaengeMs(kopie);
    QFile::remove(kopie);
    std::printf("%lld\n", static_cast<long long>(ms));
    return ms < 0 ? 1 : 0;
}
