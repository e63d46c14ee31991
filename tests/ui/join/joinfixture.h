#pragma once

#include "support/tempdir.h"
#include "ui/support/recordingscreenreader.h"

#include <QApplication>
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTimer>
#include <functional>

class QLineEdit;
class QTreeWidget;
class TMp3AddDlg;

// Activates the window a user would type into: the modal dialog on top, else the visible
// window; returns it.
QWidget *aktivieren();

// Shows the window and activates it, or the dialog it opened meanwhile.
bool zeigen(QWidget *fenster);

// Runs `schritt` as soon as a modal dialog of class T is on top (from inside its own loop);
// a dialog that never comes fails the test.
template <class T> void wennModal(std::function<void(T *)> schritt, int wartezeit = 10000)
{
    auto *timer = new QTimer;
    auto *verstrichen = new int(0);
    QObject::connect(timer, &QTimer::timeout, [timer, verstrichen, schritt, wartezeit] {
        auto *dlg = qobject_cast<T *>(QApplication::activeModalWidget());
        if (dlg && dlg->isVisible()) {
            timer->stop();
            timer->deleteLater();
            delete verstrichen;
            aktivieren();
            schritt(dlg);
            return;
        }
        *verstrichen += 10;
        if (*verstrichen > wartezeit) {
            ADD_FAILURE() << "no such dialog came up";
            timer->stop();
            timer->deleteLater();
            delete verstrichen;
        }
    });
    timer->start(10);
}

// Presses a key where the focus is in the active window, as a user does.
void taste(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void tasten(const QString &text);

// A folder tree of MP3 files (with and without tags), other files and an empty folder, which
// is the joining folder while the test runs:
//   a.mp3 (ID3v2 and ID3v1 tag), b.mp3 (no tags), notes.txt, bild.jpg,
//   Leer/, Sub/c.mp3 (ID3v1 tag), Sub/Tiefer/d.MP3 (ID3v2 tag), Sub/liesmich.txt
class JoinTest : public TempDirTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The audio part of a file of the tree, without its tags.
    QByteArray audio(const QString &name) const { return FAudio.value(name); }
    // The folder with a trailing "/".
    QString ordner() const { return dir.path() + QLatin1Char('/'); }

    // Every file below the test folder with its bytes.
    QMap<QString, QByteArray> stand() const;

    // Waits until the collection dialog's search has ended and returns the number found;
    // vergessen() first when a search follows another.
    int gefunden(TMp3AddDlg &dlg);
    static void vergessen(TMp3AddDlg &dlg);

    TRecordingScreenReader leser;
    QMap<QString, QByteArray> FAudio;
    QString FArbeitsordner;
};
