#pragma once

#include "ui/common/dialogbase.h"

#include <QStringList>

class QListWidget;
class QPushButton;

// The go-to-mark dialog: the marks numbered with their times, one to choose.
class TGeheMarkeForm : public TDialogBasis {
    Q_OBJECT
public:
    explicit TGeheMarkeForm(QWidget *parent = nullptr);

    // The marks to show, milliseconds as the main window holds them; never changed here.
    QStringList Marken;

    // Position in milliseconds of the chosen mark.
    qint64 GetMarkePosition() const;

    void SchalterEinrichten() override;

    // "03.: 0:12:05,040": the number padded to the digits of the count, the time text.
    static QString MarkenZeile(int nr, int anzahl, const QString &marke);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QListWidget *ListBox1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
};
