#include "ui/common/errorbox.h"

#include "tags/errorreporter.h"

#include <QMessageBox>

void FehlerboxEinrichten()
{
    SetErrorReporter([](const QString &title, const QString &text) {
        QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
    });
}
