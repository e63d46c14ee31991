#pragma once

#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"
#include "ui/common/dialogbase.h"

#include <QString>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class TEinfacheComboBox;

// The tag editor: title, artist, album, year, comment, track and genre, written as ID3v1 and
// ID3v2 tags into the opened file or into every piece of the last split. Created once at start;
// its own tags keep their contents from one use to the next. The caller sets the caption.
class TId3TagsForm : public TDialogBasis {
    Q_OBJECT
public:
    explicit TId3TagsForm(QWidget *parent = nullptr);
    ~TId3TagsForm() override;

    // True: the tags are for the opened file; false: for the pieces of the last split.
    bool OriFileS = true;

    // Fills the dialog's own tags and the fields from the opened file's tag objects, each field
    // from the ID3v2 tag when it has a value there, else from the ID3v1 tag. A later write for
    // the opened file goes into these objects, so every other frame of its ID3v2 tag is kept.
    void SetId3Tags(TID3v1Tag &AId3V1, TID3v2Tag &AId3V2);

    // Takes the fields into the target tags (with OriFileS the opened file's, else the dialog's
    // own) and writes both into the file. False when a write failed.
    bool WriteId3Tags(const QString &AFilename);

    void CaptionZuweisen() override;
    void SchalterEinrichten() override;

    // The default beep of the arrow keys at the ends and of the year; tests listen in.
    void PiepserSetzen(std::function<void()> piepser);

    const TID3v1Tag &Id1() const { return FId1; }
    const TID3v2Tag &Id2() const { return FId2; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool KeyDownAufAbCursor(int editIndex, const QKeyEvent *key);
    bool ComboBox1KeyPress(const QKeyEvent *key);
    bool Edit4KeyPress(const QKeyEvent *key);

    TID3v1Tag FId1;
    TID3v2Tag FId2;
    TID3v1Tag *FDateiId1 = nullptr;
    TID3v2Tag *FDateiId2 = nullptr;

    std::array<QLabel *, 7> FLabels{};
    std::array<QLineEdit *, 6> FEdits{};
    TEinfacheComboBox *FComboBox1 = nullptr;
    QPushButton *FButton1 = nullptr;
    QPushButton *FButton2 = nullptr;

    std::function<void()> FPiepser;
};
