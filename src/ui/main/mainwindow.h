#pragma once

#include "platform/watchregistrysettings.h"

#include <QMainWindow>
#include <QStringList>

// The main window: everything about the one opened MP3 file.
class TForm1 : public QMainWindow, public TMailboxEmpfaenger {
    Q_OBJECT
public:
    explicit TForm1(const QStringList &arguments = {}, QWidget *parent = nullptr);
    ~TForm1() override;

    // File names handed in on the command line or by a second start; only the first is opened.
    const QStringList &Parameters() const { return FParameters; }

    // Requests of a second start or another program, handed over by the mailbox watcher.
    void WMCopyData(const QString &text) override;
    void WelfranzWmSetFocus() override;
    void WelfranzWmClose() override;

private:
    void captionSetzen(const QString &fileName);

    QStringList FParameters;
};
