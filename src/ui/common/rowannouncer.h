#pragma once

#include <QObject>

// Tells the screen reader which row of a list or tree has the focus when the view itself
// receives it. Qt reports only the view then, and Orca says "list" without the row; Qt reports
// the row itself only when the current row changes later.
class TZeilenAnsager : public QObject {
public:
    explicit TZeilenAnsager(QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
