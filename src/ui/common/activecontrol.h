#pragma once

class QWidget;

// Gives the focus back to the control a window remembered before it opened a dialog (its
// `MerkActiveControl`, taken from QWidget::focusWidget()): no control active first, then this
// one, focused when it is visible and can take the focus. A field speaks its name again.
void SetActiveControl(QWidget *merkActiveControl);
