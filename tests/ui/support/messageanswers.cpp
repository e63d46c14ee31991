#include "messageanswers.h"

#include <gtest/gtest.h>

TMessageAnswers::TMessageAnswers(std::initializer_list<TMeldungAntwort> answers) : FAnswers(answers)
{
    FPrevious = MeldungsAntworterSetzen([this](const TMeldung &m) {
        FShown << m;
        if (FAnswers.empty()) {
            ADD_FAILURE() << "no answer prepared for: " << m.Text.toStdString();
            return m.Knoepfe == TMeldungKnoepfe::Ok ? TMeldungAntwort::Ok : TMeldungAntwort::Abbrechen;
        }
        const TMeldungAntwort a = FAnswers.front();
        FAnswers.pop_front();
        return a;
    });
}

TMessageAnswers::~TMessageAnswers()
{
    MeldungsAntworterSetzen(std::move(FPrevious));
    EXPECT_TRUE(FAnswers.empty()) << FAnswers.size() << " prepared answers were not asked for";
}

QStringList TMessageAnswers::texts() const
{
    QStringList t;
    for (const TMeldung &m : FShown)
        t << m.Text;
    return t;
}
