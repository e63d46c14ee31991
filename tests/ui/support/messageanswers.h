#pragma once

#include "ui/common/messages.h"

#include <QList>
#include <deque>

// Answers the message boxes of the windows while it lives and keeps each one as shown.
// Answers are taken in order; a box beyond them fails the test and is answered OK or Abbrechen.
class TMessageAnswers {
public:
    explicit TMessageAnswers(std::initializer_list<TMeldungAntwort> answers = {});
    ~TMessageAnswers();
    TMessageAnswers(const TMessageAnswers &) = delete;
    TMessageAnswers &operator=(const TMessageAnswers &) = delete;

    void add(TMeldungAntwort answer) { FAnswers.push_back(answer); }
    const QList<TMeldung> &shown() const { return FShown; }
    // The texts of the boxes shown, in order.
    QStringList texts() const;

private:
    std::deque<TMeldungAntwort> FAnswers;
    QList<TMeldung> FShown;
    TMeldungsAntworter FPrevious;
};
