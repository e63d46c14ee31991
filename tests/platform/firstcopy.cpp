// Starts like the program does: the first copy holds the lock, shows its caption and runs the
// mailbox watcher with a receiver that prints each request; a later copy hands its arguments
// over and ends. ZINDARA_HELPER_MODE=hold-store-lock or hold-program-lock instead takes that
// lock and waits to be killed; write-values writes the values <argument>0 to <argument>39 into
// the key "Last", one write at a time.
#include "platform/registrymailbox.h"
#include "platform/registrystore.h"
#include "platform/singleinstance.h"
#include "platform/watchregistrysettings.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

namespace {

const QString titel = QStringLiteral("Zindara V1.42");

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

class Receiver : public QObject, public TMailboxEmpfaenger {
public:
    void WMCopyData(const QString &text) override
    {
        say(QStringLiteral("COPYDATA ") + text);
        for (const QString &part : SplitParameters(text))
            say(QStringLiteral("PART ") + part);
    }
    void WelfranzWmSetFocus() override { say(QStringLiteral("SETFOCUS")); }
    void WelfranzWmClose() override
    {
        say(QStringLiteral("CLOSE"));
        QCoreApplication::quit();
    }
};

[[noreturn]] void waitToBeKilled()
{
    say(QStringLiteral("LOCKED"));
    for (;;)
        QThread::sleep(1);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray mode = qgetenv("ZINDARA_HELPER_MODE");
    if (mode == "hold-store-lock") {
        TRegistryStore store;
        TRegistryStore::Sperre sperre(store);
        if (!sperre)
            return 2;
        waitToBeKilled();
    }

    if (mode == "write-values") {
        TRegistryStore store;
        if (!store.OpenKey(QStringLiteral("Last"), true))
            return 2;
        const QString prefix = QCoreApplication::arguments().value(1);
        for (int i = 0; i < 40; ++i) {
            if (!store.WriteString(prefix + QString::number(i), QStringLiteral("x")))
                return 3;
        }
        return 0;
    }

    TProgrammSperre sperre(titel);
    if (!ProgrammStartPruefen(sperre, titel, QCoreApplication::arguments().mid(1))) {
        say(QStringLiteral("HANDED"));
        return 0;
    }
    sperre.captionSchreiben(QStringLiteral("NoName - ") + titel);
    if (mode == "hold-program-lock")
        waitToBeKilled();

    Receiver receiver;
    TWatchRegistrySettings watcher(&receiver, &receiver, QStringLiteral("Zindara"), false);
    say(QStringLiteral("READY"));
    const int result = app.exec();
    watcher.Beenden();
    return result;
}
