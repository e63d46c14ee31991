#include "ui/main/mainwindow.h"

#include "platform/desktopentry.h"
#include "platform/registrymailbox.h"
#include "platform/shell.h"
#include "platform/singleinstance.h"
#include "support/formatting.h"
#include "ui/common/apptitle.h"

#include <QApplication>
#include <QWindow>

TForm1::TForm1(const QStringList &arguments, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    AnwendungsTitelSetzen(QLatin1String(ProgrammTitel));
    captionSetzen(QString());
    resize(640, 400);
    for (const QString &a : arguments) {
        const QString t = BlanksAbschneiden(a);
        if (!t.isEmpty())
            FParameters << t;
    }
    // File managers offer "Open with Zindara" through this entry; a failure does not matter.
    SendToVerknuepfungErneuern();
}

TForm1::~TForm1() = default;

void TForm1::captionSetzen(const QString &fileName)
{
    const QString name = fileName.isEmpty() ? QStringLiteral("NoName") : fileName;
    const QString caption = QStringLiteral("%1 - %2").arg(name, QLatin1String(ProgrammTitel));
    setWindowTitle(caption);
    AnwendungsTitelSetzen(fileName.isEmpty() ? QLatin1String(ProgrammTitel) : caption);
    // A second start finds this copy by the caption it reports.
    CaptionMelden(caption);
}

void TForm1::WMCopyData(const QString &text)
{
    FParameters = SplitParameters(text);
    WelfranzWmSetFocus();
}

void TForm1::WelfranzWmSetFocus()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowHandle())
            VordergrundErzwingen(w->windowHandle());
    }
}

void TForm1::WelfranzWmClose()
{
    close();
}
