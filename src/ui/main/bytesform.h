#pragma once

#include "ui/common/dialogbase.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The up-down beside a number field: arrow keys in the field and its two buttons step the
// number within Min..Max and write it into the field.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QLineEdit *buddy, QWidget *parent);

    int Min = 0;
    int Max = 100;
    int Position() const { return FPosition; }
    void setPosition(int position);
    void Schritt(int richtung);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QLineEdit *FBuddy;
    QToolButton *FAuf;
    QToolButton *FAb;
    int FPosition = 0;
};

// The one dialog for whole-number input: piece size, seek step, minute to jump to.
class TBytesForm : public TDialogBasis {
    Q_OBJECT
public:
    explicit TBytesForm(QWidget *parent = nullptr);

    // Caption, label, limits, start value and caption of the OK button for one use.
    void Vorbereiten(const QString &caption, const QString &label, int minNr, int maxNr, int position,
                     const QString &button1);

    // The number entered, held within MinNr..MaxNr; 0 after an unusable entry ("Fehler bei
    // Eingabe!" is shown then).
    int Bytes();

    void SchalterEinrichten() override;

    QLabel *Label1;
    QLineEdit *Edit1;
    TUpDown *UpDown1;
    QPushButton *Button1;
    QPushButton *Button2;
    int MaxNr = 0;
    int MinNr = 0;

protected:
    void showEvent(QShowEvent *event) override;
};
