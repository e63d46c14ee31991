#include "joinfixture.h"

#include "platform/player.h"
#include "platform/userfolders.h"
#include "ui/join/mp3adddialog.h"
#include "ui/join/savedialog.h"
#include "ui/main/mainwindow.h"
#include "ui/support/controls.h"

#include <QLineEdit>
#include <QTest>

namespace {

using JoinCommand = JoinTest;

// Ctrl+Z in the main window: the collection dialog searches the open dialog's start folder,
// comes up modally, is gone afterwards, and the playback of the opened file goes on meanwhile.
TEST_F(JoinCommand, CtrlZCollectsFromTheOpenDialogsFolderWhilePlaybackGoesOn)
{
    ArbeitsordnerSetzen(path("Leer"));
    TForm1 form({path("a.mp3")});
    ASSERT_TRUE(zeigen(&form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.OriFilename() == path("a.mp3"); }, 5000));
    form.setInitialDirStr(path("Sub"));
    form.MediaPlayer1()->Play();
    const TMPModes vorher = form.MediaPlayer1()->Mode();
    EXPECT_EQ(vorher, TMPModes::mpPlaying);
    bool gelaufen = false;
    wennModal<TMp3AddDlg>([&](TMp3AddDlg *dlg) {
        gelaufen = true;
        EXPECT_EQ(dlg->parent(), &form);
        EXPECT_EQ(gefunden(*dlg), 1);
        EXPECT_EQ(findControl<QLineEdit>(dlg, "Le1Ordner")->text(), path("Sub") + "/ (1 gefunden)");
        EXPECT_EQ(form.MediaPlayer1()->Mode(), vorher);
        // The dialog's own accelerators win over the main window's menus.
        bool weiter = false;
        wennModal<TSpeichernDlg>([&](TSpeichernDlg *) {
            weiter = true;
            taste(Qt::Key_Escape);
        });
        taste(Qt::Key_W, Qt::AltModifier);
        EXPECT_TRUE(weiter);
        taste(Qt::Key_Escape);
    });
    taste(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(gelaufen);
    EXPECT_EQ(Arbeitsordner(), path("Sub") + "/");
    EXPECT_EQ(form.findChild<TMp3AddDlg *>(), nullptr) << "the dialog is freed after use";
    form.MediaPlayer1()->Stop();
}

} // namespace
