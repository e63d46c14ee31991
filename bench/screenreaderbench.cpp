// How long one screen reader detection takes; it runs at every focus change.
#include "platform/screenreaderdriverorca.h"
#include "platform/screenreaderoutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Runs detections for longer than the process check interval, so the slowest single detection
// shows what a focus change may cost, not only the average.
void measure(const char *AWhat, const std::function<void()> &AOnce)
{
    QElapsedTimer total, one;
    total.start();
    qint64 rounds = 0, slowest = 0, over100us = 0;
    while (total.elapsed() < 1500) {
        one.start();
        AOnce();
        const qint64 ns = one.nsecsElapsed();
        slowest = std::max(slowest, ns);
        over100us += ns > 100000;
        ++rounds;
    }
    const double mean = static_cast<double>(total.nsecsElapsed()) / 1000.0 / static_cast<double>(rounds);
    std::printf("%-52s mean %8.2f us   slowest %8.1f us   over 100 us: %lld of %lld\n", AWhat, mean, slowest / 1000.0,
                over100us, rounds);
}

TScreenReaderOutput::TDriverList driversWithOrcaNamed(const QByteArray &AName)
{
    TScreenReaderOutput::TDriverList list = TScreenReaderOutput::SystemDrivers();
    list.back() = std::make_unique<TScreenReaderDriverOrca>("Orca", true, true, TOrcaBinding::System(AName));
    return list;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QByteArray name = "orca" + QByteArray::number(QCoreApplication::applicationPid());

    {
        TScreenReaderOutput output;
        output.Load();
        QElapsedTimer first;
        first.start();
        output.DetectScreenReader();
        std::printf("%-52s      %8.2f us\n", "first detection (searches the process list)",
                    first.nsecsElapsed() / 1000.0);
        measure("detection, no screen reader running", [&] { output.DetectScreenReader(); });
    }

    // A stand-in Orca without a speech-dispatcher to answer.
    const QString link = dir.filePath(QString::fromLatin1(name));
    QFile::link(QStandardPaths::findExecutable("sleep"), link);
    QProcess orca;
    orca.start(link, {"120"});
    if (!orca.waitForStarted(5000)) {
        std::printf("no stand-in process; done\n");
        return 0;
    }
    const QByteArray address = qgetenv("SPEECHD_ADDRESS");
    {
        qputenv("SPEECHD_ADDRESS", "unix_socket:" + QFile::encodeName(dir.filePath("none.sock")));
        TScreenReaderOutput output([&] { return driversWithOrcaNamed(name); });
        output.Load();
        measure("detection, Orca running, speech-dispatcher silent", [&] { output.DetectScreenReader(); });
    }
    if (!address.isEmpty()) {
        qputenv("SPEECHD_ADDRESS", address);
        TScreenReaderOutput output([&] { return driversWithOrcaNamed(name); });
        output.Load();
        if (output.DetectScreenReader() == "Orca")
            measure("detection, Orca running, speech-dispatcher connected", [&] { output.DetectScreenReader(); });
        else
            std::printf("speech-dispatcher at SPEECHD_ADDRESS does not answer\n");
    }
    orca.kill();
    orca.waitForFinished(5000);
    return 0;
}
