#include "editorfixture.h"

#include <QLineEdit>

void BeiModalemFenster(std::function<void(QWidget *)> handeln)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, handeln = std::move(handeln), versuche = 0]() mutable {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            // A window that never came must not answer the next test's.
            if (++versuche >= 500) {
                timer->stop();
                timer->deleteLater();
                ADD_FAILURE() << "no modal window opened";
            }
            return;
        }
        // Keys and shortcuts reach it only once it is the active window.
        if (!modal->isActiveWindow() && ++versuche < 500) {
            modal->activateWindow();
            return;
        }
        timer->stop();
        timer->deleteLater();
        handeln(modal);
    });
    timer->start();
}

void DateidialogBeantworten(const QString &datei)
{
    BeiModalemFenster([datei](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        ASSERT_NE(dialog, nullptr) << "no file dialog but " << w->metaObject()->className();
        if (datei.isEmpty()) {
            dialog->reject();
            return;
        }
        // As typed into its name field, which has the focus.
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(datei);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

namespace {

QAccessibleInterface *Zelle(QTreeWidget *liste, int zeile)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(liste);
    if (!iface || !iface->tableInterface())
        return nullptr;
    return iface->tableInterface()->cellAt(zeile, 0);
}

} // namespace

QString ZeilenText(QTreeWidget *liste, int zeile)
{
    QAccessibleInterface *zelle = Zelle(liste, zeile);
    return zelle ? zelle->text(QAccessible::Name) : QString();
}

bool ZeileAngehakt(QTreeWidget *liste, int zeile)
{
    QAccessibleInterface *zelle = Zelle(liste, zeile);
    return zelle && zelle->state().checked;
}

void MarkenEditorTest::SetUp()
{
    TempDirTest::SetUp();
    form = std::make_unique<TMarkenForm>();
}

void MarkenEditorTest::TearDown()
{
    form.reset();
    TempDirTest::TearDown();
}

void MarkenEditorTest::zeigen(bool okS, const QStringList &marken, const QByteArray &bytes, qint64 laenge)
{
    daten = bytes;
    form->OkS = okS;
    form->MaxLength = laenge;
    form->MaxSize = daten.size();
    form->OriFilename = writeFile(QStringLiteral("Arbeitskopie.mp3"), daten);
    form->VorRueckSekunden = 5;
    form->PlusVolume = 1967;
    form->Marken = marken;
    ASSERT_TRUE(showActive(form.get()));
}

QTreeWidget *MarkenEditorTest::liste() const
{
    return form->findChild<QTreeWidget *>(QStringLiteral("ListView1"));
}

QStringList MarkenEditorTest::zeilen() const
{
    QStringList t;
    for (int i = 0; i < liste()->topLevelItemCount(); ++i)
        t << liste()->topLevelItem(i)->text(0) + QLatin1Char(' ') + liste()->topLevelItem(i)->text(1);
    return t;
}

void MarkenEditorTest::taste(int key, Qt::KeyboardModifiers mods)
{
    // Offscreen no window manager gives the focus back to the window after a dialog.
    if (!form->isActiveWindow()) {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : liste(), Qt::Key(key), mods);
}
