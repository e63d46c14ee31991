#pragma once

#include <QString>
#include <QThread>

class QObject;

// What the main window does with the requests of the mailbox; called on the receiver's thread.
class TMailboxEmpfaenger {
public:
    virtual ~TMailboxEmpfaenger() = default;
    // The joined parameter text of a second start.
    virtual void WMCopyData(const QString &text) = 0;
    virtual void WelfranzWmSetFocus() = 0;
    virtual void WelfranzWmClose() = 0;
};

// Polls the mailbox key and hands each request to the receiver, one request per pass, waiting
// until the receiver has handled it. Starts at once; stop it with Beenden() (or destroy it).
class TWatchRegistrySettings : public QThread {
    Q_OBJECT
public:
    // `AAppHandle` is the object whose thread runs the receiver (the main window). With
    // `AAltesVerwerfen` the requests found at the start are dropped as left over; pass false when
    // ProgrammStartPruefen has dropped them already, so no request of a quick second start is lost.
    TWatchRegistrySettings(QObject *AAppHandle, TMailboxEmpfaenger *AEmpfaenger, const QString &AAppName,
                           bool AAltesVerwerfen = true, QObject *parent = nullptr);
    ~TWatchRegistrySettings() override;

    // Asks the thread to end and waits for it.
    void Beenden();

protected:
    void run() override;

private:
    bool schlafen();
    void senden(void (*call)(TMailboxEmpfaenger *, const QString &), const QString &text);

    QObject *FAppHandle;
    TMailboxEmpfaenger *FEmpfaenger;
    QString FAppName;
    bool FAltesVerwerfen;
};
