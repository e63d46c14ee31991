#include "joinfixture.h"

#include "platform/userfolders.h"
#include "support/formatting.h"
#include "ui/join/folderdialog.h"
#include "ui/join/mp3adddialog.h"
#include "ui/join/savedialog.h"
#include "ui/join/searchdialog.h"
#include "ui/support/controls.h"
#include "ui/support/messageanswers.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

using CollectionDialog = JoinTest;

QStringList zeilen(QTreeWidget *liste)
{
    QStringList texte;
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *z = liste->topLevelItem(i);
        texte << z->text(0) + QLatin1Char('|') + z->text(1) + QLatin1Char('|') + z->text(2) +
                     (z->checkState(0) == Qt::Checked ? QStringLiteral("|x") : QStringLiteral("|-"));
    }
    return texte;
}

TEST_F(CollectionDialog, SearchesTheFolderThenItsSubfoldersAndListsEveryMp3Ticked)
{
    TMp3AddDlg dlg;
    ASSERT_TRUE(zeigen(&dlg));
    auto *feld = findControl<QLineEdit>(&dlg, "Le1Ordner");
    auto *liste = findControl<QTreeWidget>(&dlg, "ListView1");
    EXPECT_EQ(gefunden(dlg), 2);
    EXPECT_EQ(feld->text(), ordner() + " (2 gefunden)");
    EXPECT_EQ(QApplication::focusWidget(), feld);
    EXPECT_EQ(zeilen(liste),
              QStringList({"a.mp3|00:00:03|" + GroesseText(true, QFileInfo(path("a.mp3")).size()) + "|x",
                           "b.mp3|00:00:02|" + GroesseText(true, QFileInfo(path("b.mp3")).size()) + "|x"}));
    EXPECT_EQ(liste->currentItem(), liste->topLevelItem(0));
    EXPECT_TRUE(findControl<QPushButton>(&dlg, "Btn1Ok")->isEnabled());

    // Every click on the check box searches again.
    vergessen(dlg);
    taste(Qt::Key_U, Qt::AltModifier);
    EXPECT_TRUE(findControl<QCheckBox>(&dlg, "Cb1Unterordner")->isChecked());
    EXPECT_EQ(gefunden(dlg), 4);
    QStringList namen;
    for (int i = 0; i < liste->topLevelItemCount(); ++i)
        namen << liste->topLevelItem(i)->text(0);
    EXPECT_EQ(namen, QStringList({"a.mp3", "b.mp3", "Sub/c.mp3", "Sub/Tiefer/d.MP3"}));
    EXPECT_EQ(DateiSuche().Fundliste.size(), 4);

    vergessen(dlg);
    taste(Qt::Key_U, Qt::AltModifier);
    EXPECT_EQ(gefunden(dlg), 2);
    EXPECT_EQ(liste->topLevelItemCount(), 2);
    taste(Qt::Key_C, Qt::AltModifier);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST_F(CollectionDialog, AFolderWithoutMp3FilesListsNothingAndCannotGoOn)
{
    ArbeitsordnerSetzen(path("Leer"));
    TMp3AddDlg dlg;
    ASSERT_TRUE(zeigen(&dlg));
    EXPECT_EQ(gefunden(dlg), 0);
    EXPECT_EQ(findControl<QLineEdit>(&dlg, "Le1Ordner")->text(), path("Leer") + "/ (0 gefunden)");
    EXPECT_FALSE(findControl<QPushButton>(&dlg, "Btn1Ok")->isEnabled());
    EXPECT_EQ(findControl<QTreeWidget>(&dlg, "ListView1")->topLevelItemCount(), 0);
}

TEST_F(CollectionDialog, TickingByKeysAndGoingOnWithNothingTicked)
{
    TMp3AddDlg dlg;
    ASSERT_TRUE(zeigen(&dlg));
    ASSERT_EQ(gefunden(dlg), 2);
    auto *liste = findControl<QTreeWidget>(&dlg, "ListView1");
    liste->setFocus();
    taste(Qt::Key_Space);
    EXPECT_EQ(liste->topLevelItem(0)->checkState(0), Qt::Unchecked);
    taste(Qt::Key_Space);
    EXPECT_EQ(liste->topLevelItem(0)->checkState(0), Qt::Checked);

    // Through the list's menu: untick all, tick the selected ones.
    auto *menu = findControl<QMenu>(&dlg, "PopupMenuLv1");
    const auto menuPunkt = [&](const char *name) {
        for (QAction *a : menu->actions())
            if (a->objectName() == QLatin1String(name))
                return a;
        ADD_FAILURE() << name;
        return static_cast<QAction *>(nullptr);
    };
    menuPunkt("PuLv1Abhaken")->trigger();
    EXPECT_EQ(zeilen(liste).join(',').count("|-"), 2);
    {
        TMessageAnswers antworten{TMeldungAntwort::Ok};
        taste(Qt::Key_W, Qt::AltModifier);
        EXPECT_EQ(antworten.texts(), QStringList{"Es sind keine Dateien ausgewählt!"});
    }
    taste(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(liste->selectedItems().size(), 2);
    menuPunkt("PuLv1AlleMarkiertenAnhaken")->trigger();
    EXPECT_EQ(zeilen(liste).join(',').count("|x"), 2);
    taste(Qt::Key_Down);
    menuPunkt("PuLv1AlleMarkiertenAbhaken")->trigger();
    EXPECT_EQ(zeilen(liste).join(',').count("|x"), 1);
    EXPECT_EQ(liste->topLevelItem(1)->checkState(0), Qt::Unchecked);
}

TEST_F(CollectionDialog, CancellingTheSearchListsWhatWasFoundSoFar)
{
    // Reading the second file's playing time is where the user presses Escape.
    int gelesen = 0;
    DateiSuche().DauerLesen = [&gelesen](const QString &) {
        if (++gelesen == 2) {
            auto *suche = qobject_cast<TSucheDlg *>(QApplication::activeModalWidget());
            EXPECT_NE(suche, nullptr);
            if (suche) {
                EXPECT_EQ(QApplication::focusWidget(), suche->findChild<QPushButton *>("Button1"));
                EXPECT_TRUE(suche->findChild<QLabel *>("Label1")->text().endsWith("..."));
                taste(Qt::Key_Escape);
            }
        }
        return 7;
    };
    TMp3AddDlg dlg;
    findControl<QCheckBox>(&dlg, "Cb1Unterordner")->setChecked(true);
    ASSERT_TRUE(zeigen(&dlg));
    EXPECT_EQ(gefunden(dlg), 2);
    auto *liste = findControl<QTreeWidget>(&dlg, "ListView1");
    EXPECT_EQ(zeilen(liste).size(), 2);
    EXPECT_EQ(liste->topLevelItem(1)->text(1), "00:00:07");
    EXPECT_EQ(liste->topLevelItem(1)->checkState(0), Qt::Checked);
}

TEST_F(CollectionDialog, GoingOnWhileASearchRunsIsRefused)
{
    TMessageAnswers antworten{TMeldungAntwort::Ok};
    DateiSuche().DauerLesen = [](const QString &) { return 0; };
    TMp3AddDlg dlg;
    ASSERT_TRUE(zeigen(&dlg));
    ASSERT_EQ(gefunden(dlg), 2);
    bool geklickt = false;
    DateiSuche().DauerLesen = [&dlg, &geklickt](const QString &) {
        // The search dialog is modal; the collection dialog's own handler is reached directly.
        if (!std::exchange(geklickt, true))
            findControl<QPushButton>(&dlg, "Btn1Ok")->click();
        return 0;
    };
    vergessen(dlg);
    taste(Qt::Key_U, Qt::AltModifier);
    EXPECT_EQ(gefunden(dlg), 4);
    EXPECT_EQ(antworten.texts(), QStringList{"Es wird noch nach Dateien gesucht!"});
}

TEST_F(CollectionDialog, LongPathsAreShortenedFromTheFrontToTheColumn)
{
    const QString tief = "Sehr langer Ordnername eins/Sehr langer Ordnername zwei/Sehr langer Ordnername drei/Sehr "
                         "langer Ordnername vier/";
    QDir().mkpath(path(tief));
    writeFile(tief + "kapitel.mp3", audio("b.mp3"));
    TMp3AddDlg dlg;
    findControl<QCheckBox>(&dlg, "Cb1Unterordner")->setChecked(true);
    ASSERT_TRUE(zeigen(&dlg));
    ASSERT_EQ(gefunden(dlg), 5);
    auto *liste = findControl<QTreeWidget>(&dlg, "ListView1");
    const QString name = liste->topLevelItem(2)->text(0);
    EXPECT_TRUE(name.startsWith(".../")) << name.toStdString();
    EXPECT_TRUE(name.endsWith("/kapitel.mp3")) << name.toStdString();
    EXPECT_LE(QFontMetrics(liste->font()).horizontalAdvance(name), liste->columnWidth(0));
}

TEST_F(CollectionDialog, ControlsNameThemselvesAndTheFolderFieldSpeaks)
{
    TMp3AddDlg dlg;
    ASSERT_TRUE(zeigen(&dlg));
    ASSERT_EQ(gefunden(dlg), 2);
    EXPECT_TRUE(leser.spoken().contains("Ordner"));
    struct Fall {
        const char *name;
        QAccessible::Role rolle;
        QString gesprochen;
    };
    for (const Fall &f :
         std::initializer_list<Fall>{{"Le1Ordner", QAccessible::EditableText, "Ordner"},
                                     {"Btn3Wechseln", QAccessible::Button, "Wechseln..."},
                                     {"Cb1Unterordner", QAccessible::CheckBox, "Unterordner durchsuchen"},
                                     {"ListView1", QAccessible::Tree, "Gefundene Dateien"},
                                     {"Btn1Ok", QAccessible::Button, "Weiter"},
                                     {"Btn2Abbrechen", QAccessible::Button, "Schließen"}}) {
        QWidget *w = findControl(&dlg, f.name);
        EXPECT_EQ(accessibleRole(w), f.rolle) << f.name;
        EXPECT_EQ(accessibleName(w), f.gesprochen) << f.name;
    }
    EXPECT_EQ(findControl<QLabel>(&dlg, "Le1OrdnerLabel")->buddy(), findControl(&dlg, "Le1Ordner"));
    EXPECT_EQ(dlg.windowTitle(), "Dateien zusammenfügen");
}

TEST_F(CollectionDialog, LayoutFollowsTheFont)
{
    TMp3AddDlg dlg;
    ASSERT_TRUE(zeigen(&dlg));
    ASSERT_EQ(gefunden(dlg), 2);
    const QRect schirm = dlg.screen()->geometry();
    EXPECT_EQ(dlg.width(), schirm.width());
    EXPECT_EQ(dlg.height(), schirm.height() * 95 / 100);
    auto *ok = findControl(&dlg, "Btn1Ok");
    auto *zu = findControl(&dlg, "Btn2Abbrechen");
    auto *wechseln = findControl(&dlg, "Btn3Wechseln");
    EXPECT_EQ(ok->geometry(), QRect((dlg.width() - 250) / 3, dlg.height() - 10 - ok->height(), 125, ok->height()));
    EXPECT_EQ(zu->x(), 2 * ((dlg.width() - 250) / 3) + 125);
    EXPECT_EQ(wechseln->geometry().topRight(), QPoint(dlg.width() - 11, 10));
    auto *feld = findControl(&dlg, "Le1Ordner");
    EXPECT_EQ(feld->geometry().right(), wechseln->x() - 11);
    EXPECT_EQ(findControl(&dlg, "Le1OrdnerLabel")->geometry().right(), feld->x() - 6);
    auto *liste = findControl<QTreeWidget>(&dlg, "ListView1");
    EXPECT_EQ(liste->geometry().bottom(), ok->y() - 11);
    EXPECT_EQ(liste->columnWidth(0), liste->width() * 73 / 100);
}

} // namespace
