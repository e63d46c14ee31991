#pragma once

#include "ui/common/dialogbase.h"

#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The folder chooser: the ready volumes and the user's home and documents folders in a drive
// box, the folders of the chosen one in a folder list, and a read-only field that shows the
// folder chosen in the list. Closes with OK only for a folder that exists.
class TOrdnerDlg : public TDialogBasis {
    Q_OBJECT
public:
    explicit TOrdnerDlg(QWidget *parent = nullptr);

    void CaptionZuweisen() override;
    void SchriftartZuweisen() override;
    void SchalterEinrichten() override;

    // The folder list's current folder; presetting it also picks the drive box entry that holds it.
    void setDirectory(const QString &ordner);
    // With a trailing "/".
    QString Directory() const;

    // Where the drive box looks: the user's home and documents folders and every mounted volume.
    static QStringList Laufwerke();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *ziel, QEvent *event) override;

private:
    void LaufwerkePruefen();
    void LaufwerkGewaehlt(int index);
    void OrdnerOeffnen(const QString &ordner);
    void OrdnerGewaehlt();

    QLabel *LeOrdnerLabel;
    QLineEdit *LeOrdner;
    QLabel *DriveComboBox1Label;
    QComboBox *DriveComboBox1;
    QTreeWidget *DirectoryListBox1;
    QPushButton *Btn1Ok;
    QPushButton *Btn2Abbrechen;

    QString FWurzel;
    QString FOrdner;
};
