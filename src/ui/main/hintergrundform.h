#pragma once

#include "ui/common/dialogbase.h"

#include <QColor>

class QListWidget;
class QPushButton;

// The text background colour, chosen from 19 named colours.
class THintergrundForm : public TDialogBasis {
    Q_OBJECT
public:
    THintergrundForm(QWidget *parent, int ARand, int ABtnWidth);

    static constexpr int AnzahlFarben = 19;
    // Name and colour of entry `nr` (0..18).
    static QString FarbName(int nr);
    static QColor Farbe(int nr);
    // Its colour value as stored (0x00BBGGRR).
    static quint32 Farbwert(int nr);

    // Window and button captions; refills the list with the colour names.
    void CaptionZuweisen(const QString &ACaption, const QString &ABtn1Caption, const QString &ABtn2Caption);
    void SchriftartZuweisen() override;
    void SchalterEinrichten() override;

    // The selected entry; a number outside 0..18 selects "Schwarz".
    int HintergrundNr() const;
    void setHintergrundNr(int nr);
    QColor HintergrundFarbe() const;

    int BtnWidth() const { return FBtnWidth; }
    void setBtnWidth(int width);
    int Rand() const { return FRand; }
    void setRand(int rand);

    QListWidget *ListBox1;
    QPushButton *Button1;
    QPushButton *Button2;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    int MerkItemIndex = 0;
    int FBtnWidth;
    int FRand;
};
