#include "platform/watchregistrysettings.h"

#include "platform/registrymailbox.h"
#include "platform/registrystore.h"

#include <QMetaObject>
#include <QSemaphore>
#include <memory>

TWatchRegistrySettings::TWatchRegistrySettings(QObject *AAppHandle, TMailboxEmpfaenger *AEmpfaenger,
                                               const QString &AAppName, bool AAltesVerwerfen, QObject *parent)
    : QThread(parent), FAppHandle(AAppHandle), FEmpfaenger(AEmpfaenger), FAppName(AAppName),
      FAltesVerwerfen(AAltesVerwerfen)
{
    start();
}

TWatchRegistrySettings::~TWatchRegistrySettings()
{
    Beenden();
}

void TWatchRegistrySettings::Beenden()
{
    requestInterruption();
    wait();
}

// Four naps of 25 ms; false when the thread is asked to end.
bool TWatchRegistrySettings::schlafen()
{
    for (int i = 0; i < 4; ++i) {
        if (isInterruptionRequested())
            return false;
        msleep(25);
    }
    return !isInterruptionRequested();
}

// Like a synchronous window message: waits until the receiver has handled the call. The wait
// gives up when the thread is asked to end, so a main thread that waits for this thread while
// a request is under way cannot deadlock with it.
void TWatchRegistrySettings::senden(void (*call)(TMailboxEmpfaenger *, const QString &), const QString &text)
{
    auto done = std::make_shared<QSemaphore>();
    TMailboxEmpfaenger *empfaenger = FEmpfaenger;
    QMetaObject::invokeMethod(
        FAppHandle,
        [call, empfaenger, text, done] {
            call(empfaenger, text);
            done->release();
        },
        Qt::QueuedConnection);
    while (!done->tryAcquire(1, 25)) {
        if (isInterruptionRequested())
            return;
    }
}

void TWatchRegistrySettings::run()
{
    TRegistryStore store;
    TRegistrySettings rs;
    if (FAltesVerwerfen)
        ReadRegistrySettings(FAppName, rs, store);
    while (!isInterruptionRequested()) {
        if (!schlafen())
            break;
        try {
            if (ReadRegistrySettings(FAppName, rs, store)) {
                // Only one request per pass; the others read with it are dropped.
                if (!rs.Parameters.isEmpty()) {
                    const QString text = SendParametersText(rs.Parameters);
                    if (!text.isEmpty())
                        senden([](TMailboxEmpfaenger *e, const QString &t) { e->WMCopyData(t); }, text);
                } else if (!rs.SetFocus.isEmpty()) {
                    senden([](TMailboxEmpfaenger *e, const QString &) { e->WelfranzWmSetFocus(); }, QString());
                } else if (!rs.Close.isEmpty()) {
                    senden([](TMailboxEmpfaenger *e, const QString &) { e->WelfranzWmClose(); }, QString());
                }
            }
        } catch (...) {
            // The watcher keeps polling whatever the store does.
        }
        if (!schlafen())
            break;
    }
}
