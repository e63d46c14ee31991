#pragma once

#include "../support/controls.h"
#include "../support/messageanswers.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"
#include "tags/id3v1tag.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

// Runs `handle` once on the next window of class T that `finden` returns, as soon as it shows.
template <class T> void whenFound(QWidget *(*finden)(), std::function<void(T *)> handle)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, finden, handle] {
        if (auto *w = qobject_cast<T *>(finden()); w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            handle(w);
        }
    });
    timer->start();
}

// Runs `handle` once on the next modal window of class T as soon as it shows.
template <class T> void whenModal(std::function<void(T *)> handle)
{
    whenFound<T>(&QApplication::activeModalWidget, std::move(handle));
}

// A main window of its own for each test, with the German key names and a settings key
// that starts empty, in a folder where the test's MP3 files are made.
class MainWindowTest : public TempDirTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window (with `arguments` as its command line) and shows it active.
    TForm1 &showForm(const QStringList &arguments = {});
    // An MP3 file of `frames` silent frames, 26 ms each (2000 make 0:00:52,244).
    QString mp3(const QString &name, int frames, const QByteArray &before = {}, const QByteArray &after = {});
    // The menu item of that objectName.
    QAction *action(const char *name);
    // Opens `file` as a second start hands it over.
    void openByHandOver(const QString &file);

    std::unique_ptr<TForm1> form;
};

// Waits up to five seconds for `a` to equal `b`, then compares them.
#define WAIT_EQ(a, b)                                                                                                  \
    do {                                                                                                               \
        (void)QTest::qWaitFor([&] { return (a) == (b); }, 5000);                                                       \
        EXPECT_EQ(a, b);                                                                                               \
    } while (false)
