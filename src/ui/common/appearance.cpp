#include "ui/common/appearance.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextEdit>

TAussehen &ProgrammAussehen()
{
    static TAussehen aussehen{QApplication::font(), QApplication::palette().color(QPalette::Text), Qt::white};
    return aussehen;
}

namespace {

QFont KnopfSchrift(const QFont &schrift, TKnopfSchrift knoepfe)
{
    QFont f = knoepfe == TKnopfSchrift::NameGroesseUndStil ? schrift : QFont();
    f.setFamily(schrift.family());
    if (schrift.pointSizeF() > 0)
        f.setPointSizeF(schrift.pointSizeF());
    else
        f.setPixelSize(schrift.pixelSize());
    return f;
}

void FarbenSetzen(QWidget *w, const TAussehen &aussehen, bool eigenerHintergrund)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, aussehen.Hintergrund);
    p.setColor(QPalette::Text, aussehen.SchriftFarbe);
    // Labels, check boxes and the status bar paint their text on the window colour.
    if (eigenerHintergrund) {
        p.setColor(QPalette::Window, aussehen.Hintergrund);
        p.setColor(QPalette::WindowText, aussehen.SchriftFarbe);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
}

} // namespace

void SchriftartAnwenden(QWidget *fenster, const TAussehen &aussehen, TKnopfSchrift knoepfe)
{
    for (QWidget *w : fenster->findChildren<QWidget *>()) {
        if (w->window() != fenster->window())
            continue;
        const bool aufFenster = qobject_cast<QLabel *>(w) || qobject_cast<QCheckBox *>(w) ||
                                qobject_cast<QRadioButton *>(w) || qobject_cast<QStatusBar *>(w);
        const bool textFeld = qobject_cast<QLineEdit *>(w) || qobject_cast<QTextEdit *>(w) ||
                              qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QAbstractItemView *>(w) ||
                              qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w);
        if (aufFenster || textFeld) {
            w->setFont(aussehen.Schrift);
            FarbenSetzen(w, aussehen, aufFenster);
        } else if (qobject_cast<QAbstractButton *>(w)) {
            w->setFont(KnopfSchrift(aussehen.Schrift, knoepfe));
        }
    }
}
