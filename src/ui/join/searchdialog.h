#pragma once

#include "cutting/filesearch.h"
#include "ui/common/dialogbase.h"

#include <QTimer>

class QLabel;
class QPushButton;

// The search of the joining dialogs: Fundliste, SucheAbbrechen and SucheLaeuft of the one
// search of the program; it outlives every dialog.
TDateiSuche &DateiSuche();

// The small dialog that runs one search: it shows the folder being searched and can be
// cancelled. The caller sets Ordner and UnterOrdnerS, shows it modally and reads
// DateiSuche().Fundliste afterwards, also after a cancel.
class TSucheDlg : public TDialogBasis {
    Q_OBJECT
public:
    explicit TSucheDlg(QWidget *parent = nullptr);

    QString Ordner;
    bool UnterOrdnerS = false;

    void CaptionZuweisen() override;
    void SchalterEinrichten() override;

    // Escape and the window's close button act as "&Abbrechen".
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Timer1Timer();
    void Button1Click();
    void OrdnerZeigen(const QString &ordner);

    QLabel *Label1;
    QPushButton *Button1;
    QTimer Timer1;
};
