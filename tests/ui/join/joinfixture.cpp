#include "joinfixture.h"

#include "platform/userfolders.h"
#include "support/mpegbuilder.h"
#include "ui/join/mp3adddialog.h"
#include "ui/join/searchdialog.h"

#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

// The window a user would type into: the modal dialog on top, else the one visible window.
// The offscreen platform does not give the activation back when a dialog closes, as a
// desktop's window manager does, so it is given here.
QWidget *aktivieren()
{
    QWidget *fenster = QApplication::activeModalWidget();
    if (!fenster) {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip)
                fenster = w;
    }
    if (fenster && QApplication::activeWindow() != fenster) {
        // Asking the platform is not enough for a dialog opened from a dialog.
        fenster->activateWindow();
        QApplication::setActiveWindow(fenster);
        if (!QTest::qWaitForWindowActive(fenster))
            ADD_FAILURE() << "the window did not become active";
    }
    return fenster;
}

bool zeigen(QWidget *fenster)
{
    fenster->show();
    // The collection dialog may already have opened its search dialog, which is then the one.
    aktivieren();
    return fenster->isVisible();
}

void taste(int key, Qt::KeyboardModifiers modifiers)
{
    aktivieren();
    QWidget *ziel = QApplication::focusWidget();
    if (!ziel)
        ziel = QApplication::activeWindow();
    ASSERT_NE(ziel, nullptr) << "no window has the focus";
    QTest::keyClick(ziel, static_cast<Qt::Key>(key), modifiers);
    // A button's accelerator clicks it after a short animation.
    if (modifiers & Qt::AltModifier)
        QTest::qWait(150);
}

void tasten(const QString &text)
{
    aktivieren();
    QWidget *ziel = QApplication::focusWidget();
    ASSERT_NE(ziel, nullptr) << "no control has the focus";
    QTest::keyClicks(ziel, text);
}

void JoinTest::SetUp()
{
    TempDirTest::SetUp();
    const auto ton = [](int frames, int bitrate) {
        mpeg::FrameSpec f;
        f.bitrate = bitrate;
        return mpeg::frames(f, frames, true);
    };
    // Whole seconds however the playing time is rounded: 3.004 s and 2.011 s.
    FAudio[QStringLiteral("a.mp3")] = ton(115, 128);
    FAudio[QStringLiteral("b.mp3")] = ton(77, 64);
    FAudio[QStringLiteral("Sub/c.mp3")] = ton(30, 96);
    FAudio[QStringLiteral("Sub/Tiefer/d.MP3")] = ton(20, 160);
    QDir(path(QString())).mkpath(QStringLiteral("Leer"));
    QDir(path(QString())).mkpath(QStringLiteral("Sub/Tiefer"));
    writeFile(QStringLiteral("a.mp3"),
              mpeg::id3v2Tag(3, 1034) + FAudio[QStringLiteral("a.mp3")] + mpeg::id3v1Tag(QStringLiteral("A")));
    writeFile(QStringLiteral("b.mp3"), FAudio[QStringLiteral("b.mp3")]);
    writeFile(QStringLiteral("Sub/c.mp3"), FAudio[QStringLiteral("Sub/c.mp3")] + mpeg::id3v1Tag(QStringLiteral("C")));
    writeFile(QStringLiteral("Sub/Tiefer/d.MP3"), mpeg::id3v2Tag(4, 600) + FAudio[QStringLiteral("Sub/Tiefer/d.MP3")]);
    writeFile(QStringLiteral("notes.txt"), "keine Musik");
    writeFile(QStringLiteral("bild.jpg"), mpeg::junk(500));
    writeFile(QStringLiteral("Sub/liesmich.txt"), "nichts");
    FArbeitsordner = Arbeitsordner();
    ArbeitsordnerSetzen(ordner());
}

void JoinTest::TearDown()
{
    ArbeitsordnerSetzen(FArbeitsordner);
    DateiSuche().DauerLesen = nullptr;
    TempDirTest::TearDown();
}

QMap<QString, QByteArray> JoinTest::stand() const
{
    QMap<QString, QByteArray> dateien;
    QDirIterator it(dir.path(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString datei = it.next();
        dateien[QDir(dir.path()).relativeFilePath(datei)] =
            it.fileInfo().isDir() ? QByteArray("<dir>") : readFile(datei);
    }
    return dateien;
}

int JoinTest::gefunden(TMp3AddDlg &dlg)
{
    auto *feld = dlg.findChild<QLineEdit *>(QStringLiteral("Le1Ordner"));
    const QRegularExpression anzahl(QStringLiteral("\\((\\d+) gefunden\\)$"));
    const bool ok = QTest::qWaitFor(
        [&] {
            return !DateiSuche().SucheLaeuft && anzahl.match(feld->text()).hasMatch() &&
                   !qobject_cast<TSucheDlg *>(QApplication::activeModalWidget());
        },
        10000);
    EXPECT_TRUE(ok) << "the search did not end: " << feld->text().toStdString();
    aktivieren();
    return ok ? anzahl.match(feld->text()).captured(1).toInt() : -1;
}

void JoinTest::vergessen(TMp3AddDlg &dlg)
{
    dlg.findChild<QLineEdit *>(QStringLiteral("Le1Ordner"))->clear();
}
