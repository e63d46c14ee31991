#include "ui/tags/id3tagsform.h"

#include "platform/sounds.h"
#include "support/formatting.h"
#include "tags/id3genres.h"
#include "tags/id3tagwrite.h"
#include "ui/common/fieldnames.h"
#include "ui/common/windowmeasures.h"
#include "ui/tags/simplecombobox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QValidator>
#include <algorithm>

namespace {

bool Ziffer(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool NurZiffern(const QString &text)
{
    return std::all_of(text.begin(), text.end(), Ziffer);
}

// The typing limit of a field: typing cannot make its text longer than `grenze` characters,
// nor longer than it was when it was longer already, so a whole text read from a tag is shown
// and written back as it is. The year also keeps pasted or dropped text to digits; a year read
// from a tag with other characters stays editable.
class TTippGrenze : public QValidator {
public:
    TTippGrenze(QLineEdit *edit, int grenze, bool nurZiffern)
        : QValidator(edit), FGrenze(grenze), FNurZiffern(nurZiffern)
    {
        // The edit holds the new text while it asks; the last one it took is the old.
        connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) { FVorher = text; });
    }
    // A text set from a tag is checked before the edit tells of it; it counts as the old one.
    static void TextSetzen(QLineEdit *edit, const QString &text)
    {
        if (auto *grenze = dynamic_cast<const TTippGrenze *>(edit->validator()))
            const_cast<TTippGrenze *>(grenze)->FVorher = text;
        edit->setText(text);
    }
    State validate(QString &input, int &) const override
    {
        if (input.size() > std::max<qsizetype>(FGrenze, FVorher.size()))
            return Invalid;
        return !FNurZiffern || NurZiffern(input) || !NurZiffern(FVorher) ? Acceptable : Invalid;
    }

private:
    int FGrenze;
    bool FNurZiffern;
    QString FVorher;
};

} // namespace

TId3TagsForm::TId3TagsForm(QWidget *parent) : TDialogBasis(parent), FPiepser(Piepsen)
{
    setObjectName(QStringLiteral("Id3TagsForm"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    static constexpr int kMaxLength[6] = {30, 30, 30, 4, 30, 0};
    for (int i = 0; i < 7; ++i) {
        FLabels[i] = new QLabel(this);
        FLabels[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    }
    for (int i = 0; i < 6; ++i) {
        FEdits[i] = new QLineEdit(this);
        FEdits[i]->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        if (kMaxLength[i] > 0)
            FEdits[i]->setValidator(new TTippGrenze(FEdits[i], kMaxLength[i], i == Id3Jahr));
        FEdits[i]->installEventFilter(this);
    }
    FComboBox1 = new TEinfacheComboBox(this);
    FComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    FComboBox1->setItems(ID3GenreList());
    FComboBox1->edit()->installEventFilter(this);

    FButton1 = new QPushButton(this);
    FButton1->setObjectName(QStringLiteral("Button1"));
    FButton1->setDefault(true);
    FButton2 = new QPushButton(this);
    FButton2->setObjectName(QStringLiteral("Button2"));
    connect(FButton1, &QPushButton::clicked, this, &QDialog::accept);
    connect(FButton2, &QPushButton::clicked, this, &QDialog::reject);

    // The genre box is named as a whole, not by its inner edit: Qt then moves the box with its
    // edit and list together and the chain stays one cycle.
    QWidget *vorher = FEdits[0];
    const std::array<QWidget *, 8> kette{FEdits[1], FEdits[2],  FEdits[3], FEdits[4],
                                         FEdits[5], FComboBox1, FButton1,  FButton2};
    for (QWidget *w : kette) {
        setTabOrder(vorher, w);
        vorher = w;
    }

    CaptionZuweisen();
}

TId3TagsForm::~TId3TagsForm() = default;

void TId3TagsForm::CaptionZuweisen()
{
    static const char *const kCaptions[7] = {
        "&Titel:", "A&utor:", "A&lbumtitel:", "&Jahr:", "Ko&mmentar:", "Track&nummer:", "&Genre:"};
    for (int i = 0; i < 7; ++i) {
        FLabels[i]->setText(QString::fromUtf8(kCaptions[i]));
        FeldBeschriften(FLabels[i], i < 6 ? static_cast<QWidget *>(FEdits[i]) : FComboBox1->edit());
    }
    FComboBox1->setAccessibleName(QStringLiteral("Genre"));
    FComboBox1->list()->setAccessibleName(QStringLiteral("Genreliste"));
    FButton1->setText(QStringLiteral("O&K"));
    FButton2->setText(QStringLiteral("&Abbrechen"));
}

void TId3TagsForm::SchalterEinrichten()
{
    const QFont schrift = FEdits[0]->font();
    const int editHoehe = SchriftHoehe(schrift, TSchalterArt::Edit);
    const int knopfHoehe = SchriftHoehe(FButton1->font(), TSchalterArt::Button);
    const int knopfBreite = KnopfBreite({FButton1, FButton2});
    FButton1->resize(knopfBreite, knopfHoehe);
    FButton2->resize(knopfBreite, knopfHoehe);

    // The dialog fills the screen, its frame included.
    const QSize rahmen = frameGeometry().size() - geometry().size();
    setFixedSize(Bildschirm(this).size() - rahmen);

    int w = 0;
    for (QLabel *label : FLabels) {
        label->adjustSize();
        w = std::max(w, label->width());
    }
    const int links = w + 15;
    const int breite = width() - links - 10;
    int oben = 10;
    for (int i = 0; i < 6; ++i) {
        FEdits[i]->setGeometry(links, oben, breite, editHoehe);
        FLabels[i]->move(10, MittigOben(oben, editHoehe, FLabels[i]->height()));
        oben += editHoehe + 10;
    }

    const int knopfOben = height() - 10 - knopfHoehe;
    const int knopfLinks = (width() - 2 * knopfBreite) / 3;
    FButton1->move(knopfLinks, knopfOben);
    FButton2->move(2 * knopfLinks + knopfBreite, knopfOben);

    FComboBox1->setEditHeight(editHoehe);
    FComboBox1->setGeometry(links, oben, breite, std::max(0, knopfOben - oben - 10));
    FLabels[6]->move(10, oben);
}

void TId3TagsForm::PiepserSetzen(std::function<void()> piepser)
{
    FPiepser = std::move(piepser);
}

void TId3TagsForm::SetId3Tags(TID3v1Tag &AId3V1, TID3v2Tag &AId3V2)
{
    FDateiId1 = &AId3V1;
    FDateiId2 = &AId3V2;
    const std::array<QString, Id3FeldAnzahl> gezeigt = ::SetId3Tags(AId3V1, AId3V2, FId1, FId2);
    for (int i = 0; i < 6; ++i)
        TTippGrenze::TextSetzen(FEdits[i], gezeigt[i]);
    FComboBox1->selectItem(gezeigt[Id3Genre]);
    FComboBox1->setText(gezeigt[Id3Genre]);
}

bool TId3TagsForm::WriteId3Tags(const QString &AFilename)
{
    TId3Felder felder;
    for (int i = 0; i < 6; ++i)
        felder[i] = FEdits[i]->text();
    felder[Id3Genre] = FComboBox1->text();
    const bool eigene = !OriFileS || !FDateiId1 || !FDateiId2;
    return ::WriteId3Tags(AFilename, felder, eigene ? FId1 : *FDateiId1, eigene ? FId2 : *FDateiId2).Erfolg();
}

void TId3TagsForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        CaptionZuweisen();
    TDialogBasis::showEvent(event);
    if (!event->spontaneous()) {
        FeldNameErneutSprechen(FEdits[0]);
        FEdits[0]->setFocus(Qt::OtherFocusReason);
    }
}

bool TId3TagsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (watched == FComboBox1->edit())
            return ComboBox1KeyPress(key) || TDialogBasis::eventFilter(watched, event);
        if (watched == FEdits[Id3Jahr] && Edit4KeyPress(key))
            return true;
        for (int i = 0; i < 6; ++i)
            if (watched == FEdits[i])
                return KeyDownAufAbCursor(i, key) || TDialogBasis::eventFilter(watched, event);
    }
    return TDialogBasis::eventFilter(watched, event);
}

// Up and Down move between the six edits; the genre box is reached with Tab.
bool TId3TagsForm::KeyDownAufAbCursor(int editIndex, const QKeyEvent *key)
{
    if (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return false;
    int ziel = 0;
    if (key->key() == Qt::Key_Down)
        ziel = editIndex + 1;
    else if (key->key() == Qt::Key_Up)
        ziel = editIndex - 1;
    else
        return false;
    if (ziel < 0 || ziel >= static_cast<int>(FEdits.size()))
        FPiepser();
    else
        FEdits[ziel]->setFocus(Qt::OtherFocusReason);
    return true;
}

bool TId3TagsForm::ComboBox1KeyPress(const QKeyEvent *key)
{
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        FButton1->click();
        return true;
    case Qt::Key_Escape:
        FButton2->click();
        return true;
    default:
        return false;
    }
}

// The year takes the digits and Backspace; any other character beeps and is discarded.
bool TId3TagsForm::Edit4KeyPress(const QKeyEvent *key)
{
    const QString zeichen = key->text();
    if (zeichen.isEmpty() || !zeichen.at(0).isPrint() || NurZiffern(zeichen))
        return false;
    FPiepser();
    return true;
}
