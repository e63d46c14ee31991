#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

// Key clicks for every character, umlauts too (QTest's own take ASCII only).
inline void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClicks(w, QString(c));
        else
            QTest::sendKeyEvent(QTest::Click, w, static_cast<Qt::Key>(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}
