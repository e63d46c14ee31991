#include "joinfixture.h"

#include "platform/drives.h"
#include "platform/userfolders.h"
#include "ui/common/appearance.h"
#include "ui/join/folderdialog.h"
#include "ui/join/mp3adddialog.h"
#include "ui/support/controls.h"
#include "ui/support/messageanswers.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "cutting/smallfs.h"

namespace {

using FolderChooser = JoinTest;

// What a screen reader here speaks as the control's name: a combo box is named by the label
// it is labelled by, every other control by its accessible name.
QString gesprochenerName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    if (iface && iface->role() == QAccessible::ComboBox) {
        const auto labels = iface->relations(QAccessible::Label);
        return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
    }
    return accessibleName(w);
}

QString gewaehlt(TOrdnerDlg *dlg)
{
    return dlg->findChild<QLineEdit *>("LeOrdner")->text();
}

TEST_F(FolderChooser, ChoosingASubfolderByKeysSearchesThere)
{
    TMp3AddDlg sammel;
    ASSERT_TRUE(zeigen(&sammel));
    ASSERT_EQ(gefunden(sammel), 2);
    bool gelaufen = false;
    wennModal<TOrdnerDlg>([&](TOrdnerDlg *dlg) {
        gelaufen = true;
        EXPECT_EQ(dlg->windowTitle(), "Neuen Ordner wählen");
        auto *feld = findControl<QLineEdit>(dlg, "LeOrdner");
        EXPECT_EQ(QApplication::focusWidget(), feld);
        EXPECT_EQ(feld->text(), ordner());
        EXPECT_EQ(feld->selectedText(), ordner());
        EXPECT_TRUE(leser.spoken().contains("Neuer Ordner"));
        // Tab to the folder list; below the current folder come its subfolders.
        taste(Qt::Key_Tab);
        taste(Qt::Key_Tab);
        auto *liste = findControl<QTreeWidget>(dlg, "DirectoryListBox1");
        ASSERT_EQ(QApplication::focusWidget(), liste);
        EXPECT_EQ(liste->currentItem()->data(0, Qt::UserRole).toString() + "/", ordner());
        QStringList unter;
        for (int i = 0; i < liste->currentItem()->childCount(); ++i)
            unter << liste->currentItem()->child(i)->text(0);
        EXPECT_EQ(unter, QStringList({"Leer", "Sub"}));
        taste(Qt::Key_End);
        EXPECT_EQ(gewaehlt(dlg), path("Sub") + "/");
        // Enter opens it: its own subfolders appear.
        taste(Qt::Key_Return);
        EXPECT_TRUE(dlg->isVisible());
        ASSERT_EQ(liste->currentItem()->childCount(), 1);
        EXPECT_EQ(liste->currentItem()->child(0)->text(0), "Tiefer");
        taste(Qt::Key_K, Qt::AltModifier);
    });
    taste(Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(gelaufen);
    EXPECT_EQ(Arbeitsordner(), path("Sub") + "/");
    EXPECT_EQ(gefunden(sammel), 1);
    EXPECT_EQ(findControl<QTreeWidget>(&sammel, "ListView1")->topLevelItem(0)->text(0), "c.mp3");
}

TEST_F(FolderChooser, CancellingChangesNeitherFolderNorList)
{
    TMp3AddDlg sammel;
    ASSERT_TRUE(zeigen(&sammel));
    ASSERT_EQ(gefunden(sammel), 2);
    const QString vorher = findControl<QLineEdit>(&sammel, "Le1Ordner")->text();
    wennModal<TOrdnerDlg>([&](TOrdnerDlg *) {
        taste(Qt::Key_Tab);
        taste(Qt::Key_Tab);
        taste(Qt::Key_End);
        taste(Qt::Key_Escape);
    });
    taste(Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(Arbeitsordner(), ordner());
    EXPECT_EQ(findControl<QLineEdit>(&sammel, "Le1Ordner")->text(), vorher);
    EXPECT_EQ(findControl<QTreeWidget>(&sammel, "ListView1")->topLevelItemCount(), 2);
}

TEST_F(FolderChooser, AFolderDeletedMeanwhileIsRefusedAndEnterInTheFieldActsAsOk)
{
    TOrdnerDlg dlg;
    dlg.setDirectory(path("Leer"));
    ASSERT_TRUE(zeigen(&dlg));
    EXPECT_EQ(gewaehlt(&dlg), path("Leer") + "/");
    QDir(path("Leer")).removeRecursively();
    {
        TMessageAnswers antworten{TMeldungAntwort::Ok};
        taste(Qt::Key_Return); // in the folder field
        EXPECT_EQ(antworten.texts(), QStringList{"Der Ordner \"" + path("Leer") + "\" existiert nicht!"});
    }
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), findControl(&dlg, "LeOrdner"));
    // Up to its parent, which exists.
    findControl(&dlg, "DirectoryListBox1")->setFocus();
    taste(Qt::Key_Home);
    taste(Qt::Key_K, Qt::AltModifier);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Directory(), "/");
}

TEST_F(FolderChooser, OffersTheReadyVolumesHomeAndDocumentsWithTheirNames)
{
    TKleinesDateisystem klein(path("Stick"));
    TOrdnerDlg dlg;
    dlg.setDirectory(ordner());
    ASSERT_TRUE(zeigen(&dlg));
    auto *box = findControl<QComboBox>(&dlg, "DriveComboBox1");
    QStringList eintraege;
    for (int i = 0; i < box->count(); ++i)
        eintraege << box->itemText(i);
    EXPECT_EQ(eintraege.first(), QDir::homePath() + " [" + LaufwerkName(QDir::homePath()) + "]");
    EXPECT_TRUE(eintraege.contains("/ [" + LaufwerkName("/") + "]")) << eintraege.join(", ").toStdString();
    if (klein.ok()) {
        EXPECT_TRUE(eintraege.contains(path("Stick") + " []")) << eintraege.join(", ").toStdString();
    }
    // Choosing an entry by keys shows its folders.
    box->setFocus();
    const int root = box->findData("/");
    ASSERT_GE(root, 0);
    taste(Qt::Key_Home);
    for (int i = 0; i < root; ++i)
        taste(Qt::Key_Down);
    EXPECT_EQ(gewaehlt(&dlg), "/");
    auto *liste = findControl<QTreeWidget>(&dlg, "DirectoryListBox1");
    EXPECT_EQ(liste->topLevelItem(0)->text(0), "/");
    EXPECT_GT(liste->topLevelItem(0)->childCount(), 0);
}

TEST_F(FolderChooser, ControlsNameThemselvesAndSitByTheFont)
{
    TOrdnerDlg dlg;
    ASSERT_TRUE(zeigen(&dlg));
    struct Fall {
        const char *name;
        QAccessible::Role rolle;
        QString gesprochen;
    };
    for (const Fall &f : std::initializer_list<Fall>{{"LeOrdner", QAccessible::EditableText, "Neuer Ordner"},
                                                     {"DriveComboBox1", QAccessible::ComboBox, "Laufwerk"},
                                                     {"DirectoryListBox1", QAccessible::Tree, "Ordnerliste"},
                                                     {"Btn1Ok", QAccessible::Button, "OK"},
                                                     {"Btn2Abbrechen", QAccessible::Button, "Abbrechen"}}) {
        QWidget *w = findControl(&dlg, f.name);
        EXPECT_EQ(accessibleRole(w), f.rolle) << f.name;
        EXPECT_EQ(gesprochenerName(w), f.gesprochen) << f.name;
    }
    EXPECT_EQ(findControl<QLabel>(&dlg, "LeOrdnerLabel")->buddy(), findControl(&dlg, "LeOrdner"));
    const QRect schirm = dlg.screen()->geometry();
    EXPECT_EQ(dlg.size(), QSize(schirm.width() * 70 / 100, schirm.height() * 90 / 100));
    auto *feld = findControl(&dlg, "LeOrdner");
    EXPECT_EQ(feld->y(), 10);
    EXPECT_EQ(feld->width(), dlg.width() - 2 * feld->x());
    EXPECT_EQ(findControl(&dlg, "Btn1Ok")->x(), (dlg.width() - 250) / 3);
}

} // namespace

namespace {

// With a large font the label is wider than a third of the window: the folder field keeps a
// usable width, reaching to 10 pixels from the right edge.
TEST_F(FolderChooser, TheFolderFieldStaysVisibleWithALargeFont)
{
    const QFont vorher = ProgrammAussehen().Schrift;
    ProgrammAussehen().Schrift.setPointSize(36);
    {
        TOrdnerDlg dlg;
        ASSERT_TRUE(zeigen(&dlg));
        auto *feld = findControl(&dlg, "LeOrdner");
        EXPECT_GT(feld->width(), dlg.width() / 4);
        EXPECT_EQ(feld->geometry().right(), dlg.width() - 11);
        // The test screen is too narrow for both captions whole; the buttons still stay apart.
        EXPECT_GT(findControl(&dlg, "Btn1Ok")->width(), 125);
        EXPECT_LT(findControl(&dlg, "Btn1Ok")->geometry().right(), findControl(&dlg, "Btn2Abbrechen")->x());
        EXPECT_LE(findControl(&dlg, "Btn2Abbrechen")->geometry().right(), dlg.width() - 10);
    }
    ProgrammAussehen().Schrift = vorher;
}

} // namespace
