#pragma once

#include <QDialog>

// The set-up pattern of every dialog. Each time the dialog is shown it runs Einrichten():
// SchriftartZuweisen, SchalterEinrichten, FensterEinrichten, so a changed program-wide font
// applies at its next showing. A dialog calls its own CaptionZuweisen at the end of its
// constructor (virtual calls do not reach it from here).
class TDialogBasis : public QDialog {
    Q_OBJECT
public:
    explicit TDialogBasis(QWidget *parent = nullptr);

    // Captions of labels, buttons and columns and the start texts of fields; none by default.
    virtual void CaptionZuweisen() {}
    // The program-wide font and background colour on every control (SchriftartAnwenden).
    virtual void SchriftartZuweisen();
    // Positions and sizes of all controls, from the font (SchriftHoehe, TextBreite).
    virtual void SchalterEinrichten() = 0;
    // Places the window: centred on the screen, never above or left of it.
    virtual void FensterEinrichten();

    // The three set-up steps in their order; also after a change that moves the controls.
    void Einrichten();

protected:
    void showEvent(QShowEvent *event) override;
};
