#include "ui/common/appearance.h"
#include "ui/common/messages.h"
#include "ui/common/windowreporter.h"

#include "ui/support/messageanswers.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(Messages, TestAnswersAndReadsTheBoxAsShown)
{
    TMessageAnswers answers{TMeldungAntwort::Nein};
    const QString text = QStringLiteral("Die Datei \"a.mp3\" existiert bereits!\r\nSoll angehängt werden?");
    EXPECT_EQ(MeldungZeigen(text, TMeldungArt::Bestaetigung, TMeldungKnoepfe::JaNeinAbbrechen), TMeldungAntwort::Nein);
    ASSERT_EQ(answers.shown().size(), 1);
    const TMeldung &m = answers.shown().front();
    EXPECT_EQ(m.Text, text);
    EXPECT_EQ(m.Titel, QStringLiteral("Bestätigen"));
    EXPECT_EQ(m.KnopfTexte, (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein"), QStringLiteral("Abbrechen")}));
}

// The real box: German buttons whatever the translations, the first the default, Escape as the
// user expects it.
TEST(Messages, RealBoxButtonsDefaultAndEscape)
{
    struct Fall {
        TMeldungArt art;
        TMeldungKnoepfe knoepfe;
        QString titel;
        QStringList knopfTexte;
        TMeldungAntwort escape;
    };
    const Fall faelle[] = {
        {TMeldungArt::Information,
         TMeldungKnoepfe::Ok,
         QStringLiteral("Information"),
         {QStringLiteral("OK")},
         TMeldungAntwort::Ok},
        {TMeldungArt::Fehler,
         TMeldungKnoepfe::Ok,
         QStringLiteral("Fehler"),
         {QStringLiteral("OK")},
         TMeldungAntwort::Ok},
        {TMeldungArt::Bestaetigung,
         TMeldungKnoepfe::JaNein,
         QStringLiteral("Bestätigen"),
         {QStringLiteral("&Ja"), QStringLiteral("&Nein")},
         TMeldungAntwort::Nein},
        {TMeldungArt::Bestaetigung,
         TMeldungKnoepfe::JaNeinAbbrechen,
         QStringLiteral("Bestätigen"),
         {QStringLiteral("&Ja"), QStringLiteral("&Nein"), QStringLiteral("Abbrechen")},
         TMeldungAntwort::Abbrechen},
    };
    const TMeldungsAntworter vorher = MeldungsAntworterSetzen({});
    for (const Fall &f : faelle) {
        SCOPED_TRACE(f.titel.toStdString() + " " + f.knopfTexte.join(' ').toStdString());
        for (const bool escape : {false, true}) {
            QString titel, text;
            QStringList knopfTexte;
            QString standard;
            QTimer::singleShot(0, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (!box)
                    return;
                titel = box->windowTitle();
                text = box->text();
                for (QAbstractButton *b : box->buttons())
                    knopfTexte << b->text();
                standard = box->defaultButton() ? box->defaultButton()->text() : QString();
                if (escape)
                    QTest::keyClick(box, Qt::Key_Escape);
                else
                    box->defaultButton()->click();
            });
            const TMeldungAntwort a = MeldungZeigen(QStringLiteral("Text"), f.art, f.knoepfe);
            EXPECT_EQ(a, escape ? f.escape
                                : (f.knoepfe == TMeldungKnoepfe::Ok ? TMeldungAntwort::Ok : TMeldungAntwort::Ja));
            EXPECT_EQ(titel, f.titel);
            EXPECT_EQ(text, QStringLiteral("Text"));
            EXPECT_EQ(standard, f.knopfTexte.front());
            knopfTexte.sort();
            QStringList erwartet = f.knopfTexte;
            erwartet.sort();
            EXPECT_EQ(knopfTexte, erwartet);
        }
    }
    MeldungsAntworterSetzen(vorher);
}

TEST(Messages, RealBoxShowsTheProgramFont)
{
    const TMeldungsAntworter vorher = MeldungsAntworterSetzen({});
    const QFont alt = ProgrammAussehen().Schrift;
    ProgrammAussehen().Schrift.setPointSize(36);
    int groesse = 0;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            groesse = box->buttons().front()->font().pointSize();
            box->defaultButton()->click();
        }
    });
    MeldungZeigen(QStringLiteral("Text"), TMeldungArt::Information);
    EXPECT_EQ(groesse, 36);
    ProgrammAussehen().Schrift = alt;
    MeldungsAntworterSetzen(vorher);
}

TEST(Messages, WindowReporterUsesTheMessageLayerAndTheMemo)
{
    TMessageAnswers answers{TMeldungAntwort::Abbrechen};
    QStringList memo;
    QWidget window;
    TFensterReporter reporter(
        &window, [&](const QString &line) { memo << line; }, [&] { memo.clear(); });
    reporter.MemoText(QStringLiteral("alt"));
    reporter.MemoZuruecksetzen();
    reporter.MemoText(QStringLiteral("Datei 1"));
    EXPECT_EQ(memo, QStringList{QStringLiteral("Datei 1")});

    EXPECT_EQ(reporter.Meldung(QStringLiteral("Weiter?"), TMeldungArt::Bestaetigung, TMeldungKnoepfe::JaNeinAbbrechen),
              TMeldungAntwort::Abbrechen);
    EXPECT_EQ(answers.texts(), QStringList{QStringLiteral("Weiter?")});

    bool lief = false;
    QTimer::singleShot(0, [&] { lief = true; });
    reporter.NachrichtenVerarbeiten();
    EXPECT_TRUE(lief);
}

} // namespace
