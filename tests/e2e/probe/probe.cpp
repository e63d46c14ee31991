// A small window on the windows' common ground, so the end-to-end harness can be tried before
// the program's own windows exist: a menu item with a shortcut opens a dialog with two labelled
// fields that speak their names through the program's screen reader output.
#include "platform/screenreaderoutput.h"
#include "platform/settings.h"
#include "ui/common/appearance.h"
#include "ui/common/dialogbase.h"
#include "ui/common/fieldnames.h"
#include "ui/common/translations.h"
#include "ui/common/windowmeasures.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

namespace {

class TProbeDialog : public TDialogBasis {
public:
    explicit TProbeDialog(QWidget *parent) : TDialogBasis(parent)
    {
        setWindowTitle(QStringLiteral("Probe"));
        const char *captions[] = {"&Titel:", "A&utor:"};
        for (int i = 0; i < 2; ++i) {
            labels[i] = new QLabel(QString::fromUtf8(captions[i]), this);
            edits[i] = new QLineEdit(this);
            edits[i]->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
            FeldBeschriften(labels[i], edits[i]);
        }
        ok = new QPushButton(QStringLiteral("O&K"), this);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
    void SchalterEinrichten() override
    {
        const QFont &f = labels[0]->font();
        const int h = SchriftHoehe(f, TSchalterArt::Edit);
        const int w = TextBreite(f, labels[1]->text());
        for (int i = 0; i < 2; ++i) {
            edits[i]->setGeometry(w + 15, 10 + i * (h + 10), 300, h);
            labels[i]->setGeometry(10, 10 + i * (h + 10), w, h);
        }
        ok->setGeometry(10, 10 + 2 * (h + 10), 125, SchriftHoehe(f, TSchalterArt::Button));
        resize(w + 325, ok->geometry().bottom() + 10);
        FensterEinrichten();
    }

private:
    QLabel *labels[2];
    QLineEdit *edits[2];
    QPushButton *ok;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DeutscheUebersetzungLaden(app);
    TScreenReaderOutput speech;
    speech.Load();
    SprachausgabeSetzen(&speech);
    // The user's font from the settings, as the program's windows take it.
    TEinstellungen settings = StandardEinstellungen();
    RegistryLadenSpeichern(true, settings);
    ProgrammAussehen().Schrift = QFont(settings.FontName, settings.FontSize);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Probe - Zindara"));
    auto *edit = new QLineEdit(&window);
    FeldNameSetzen(edit, QStringLiteral("Dateiname"));
    window.setCentralWidget(edit);
    TProbeDialog dialog(&window);
    QMenu *menu = window.menuBar()->addMenu(QStringLiteral("&Datei"));
    QAction *open = menu->addAction(QString::fromUtf8("Ö&ffnen..."));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    QObject::connect(open, &QAction::triggered, &dialog, &QDialog::exec);
    window.resize(640, 400);
    window.show();
    const int code = QApplication::exec();
    SprachausgabeSetzen(nullptr);
    return code;
}
