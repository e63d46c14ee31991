#include "ui/common/busy.h"

#include <QApplication>
#include <QCloseEvent>
#include <algorithm>
#include <vector>

TSanduhr::TSanduhr()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

TSanduhr::~TSanduhr()
{
    QApplication::restoreOverrideCursor();
}

namespace {

std::vector<const TBefehlsSperre *> gSperren;

} // namespace

TBefehlsSperre::TBefehlsSperre(QWidget *fenster) : FFenster(fenster ? fenster->window() : nullptr)
{
    gSperren.push_back(this);
    qApp->installEventFilter(this);
}

TBefehlsSperre::~TBefehlsSperre()
{
    gSperren.erase(std::find(gSperren.begin(), gSperren.end(), this));
}

bool TBefehlsSperre::Gesperrt(const QWidget *fenster)
{
    return fenster && std::any_of(gSperren.begin(), gSperren.end(), [fenster](const TBefehlsSperre *s) {
               return s->FFenster && s->FFenster == fenster->window();
           });
}

bool TBefehlsSperre::GehoertZumFenster(const QObject *ziel) const
{
    // Up the owners: menus are windows of their own but belong to it; a dialog does not.
    for (const QObject *o = ziel; o; o = o->parent()) {
        if (o == FFenster)
            return true;
        const auto *w = qobject_cast<const QWidget *>(o);
        if (w && w->isWindow() && w->windowType() != Qt::Popup)
            return false;
    }
    return false;
}

bool TBefehlsSperre::eventFilter(QObject *ziel, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return GehoertZumFenster(ziel);
    case QEvent::Close:
        if (ziel == FFenster) {
            event->ignore();
            return true;
        }
        return false;
    default:
        return false;
    }
}
