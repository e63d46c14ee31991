#include "ui/mainwindow.h"

#include "ui/apptitle.h"

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    AnwendungsTitelSetzen(QLatin1String(ProgrammTitel));
    captionSetzen(QString());
    resize(640, 400);
}

TForm1::~TForm1() = default;

void TForm1::captionSetzen(const QString &fileName)
{
    const QString name = fileName.isEmpty() ? QStringLiteral("NoName") : fileName;
    const QString caption = QStringLiteral("%1 - %2").arg(name, QLatin1String(ProgrammTitel));
    setWindowTitle(caption);
    if (!fileName.isEmpty())
        AnwendungsTitelSetzen(caption);
    else
        AnwendungsTitelSetzen(QLatin1String(ProgrammTitel));
}
