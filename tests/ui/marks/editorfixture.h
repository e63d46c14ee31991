#pragma once

#include "cutting/splitfixture.h"
#include "support/tempdir.h"
#include "ui/marks/markenform.h"
#include "ui/support/controls.h"

#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>

// Runs `handeln` on the next modal window that opens (a file dialog, the marks editor).
void BeiModalemFenster(std::function<void(QWidget *)> handeln);

// Answers the next file dialog with `datei`, or cancels it when `datei` is empty.
void DateidialogBeantworten(const QString &datei);

// The accessible text of a segment row (its first cell) and whether a screen reader sees it
// ticked.
QString ZeilenText(QTreeWidget *liste, int zeile);
bool ZeileAngehakt(QTreeWidget *liste, int zeile);

// The marks editor over a working copy in the test's own folder (which is also the temporary
// folder, so its playback file lands there).
class MarkenEditorTest : public TempDirTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Shows the editor in a mode with the marks, over `daten` that play `laenge` ms.
    void zeigen(bool okS, const QStringList &marken, const QByteArray &daten = muster(1000000), qint64 laenge = 100000);
    QTreeWidget *liste() const;
    // The rows as the list shows them: "1. 0:00:00,001 - 0:00:25,000".
    QStringList zeilen() const;
    void taste(int key, Qt::KeyboardModifiers mods = Qt::NoModifier);

    std::unique_ptr<TMarkenForm> form;
    QByteArray daten;
};
