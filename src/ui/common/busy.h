#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// The hourglass cursor for as long as it lives.
class TSanduhr {
public:
    TSanduhr();
    ~TSanduhr();
    TSanduhr(const TSanduhr &) = delete;
    TSanduhr &operator=(const TSanduhr &) = delete;
};

// While a long copy lets pending messages run, the window that started it must not start
// another command: for as long as this lives the window (with its menus and shortcuts) ignores
// keys, mouse clicks, wheel, context menus and close requests. Painting, timers and other
// windows (a message box it shows) go on. Handlers reached in other ways (timers, a second
// start's request) ask Gesperrt.
class TBefehlsSperre : public QObject {
public:
    explicit TBefehlsSperre(QWidget *fenster);
    ~TBefehlsSperre() override;

    // A command guard is active for this window.
    static bool Gesperrt(const QWidget *fenster);

protected:
    bool eventFilter(QObject *ziel, QEvent *event) override;

private:
    bool GehoertZumFenster(const QObject *ziel) const;

    QPointer<QWidget> FFenster;
};
