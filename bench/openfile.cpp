// What the program does when it opens a file, as a process of its own for commandbench to time:
// reserve the working copy's name, write the working copy, measure its length as the player
// does, remove the copy. Prints the length in milliseconds.
//
//     benchopen FILE

#include "cutting/workingcopy.h"
#include "decoder/mp3length.h"
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
    const bool ok = ArbeitskopieErstellen(app.arguments().at(1), kopie);
    const qint64 ms = ok ? Mp3LaengeMs(kopie) : -1;
    QFile::remove(kopie);
    std::printf("%lld\n", static_cast<long long>(ms));
    return ms < 0 ? 1 : 0;
}
