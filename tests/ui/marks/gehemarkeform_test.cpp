#include "ui/main/gehemarkeform.h"
#include "ui/support/controls.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

QStringList listenZeilen(QListWidget *liste)
{
    QStringList t;
    for (int i = 0; i < liste->count(); ++i)
        t << liste->item(i)->text();
    return t;
}

TEST(GeheMarke, NumbersTheMarksToTheDigitsOfTheirCount)
{
    struct Fall {
        int anzahl;
        QString erste;
        QString letzte;
    };
    const Fall faelle[] = {{1, "1.: 0:00:01,000", "1.: 0:00:01,000"},
                           {9, "1.: 0:00:01,000", "9.: 0:00:09,000"},
                           {12, "01.: 0:00:01,000", "12.: 0:00:12,000"},
                           {100, "001.: 0:00:01,000", "100.: 0:01:40,000"}};
    TGeheMarkeForm form;
    for (const Fall &f : faelle) {
        form.Marken.clear();
        for (int i = 1; i <= f.anzahl; ++i)
            form.Marken << QString::number(i * 1000);
        const QStringList vorher = form.Marken;
        ASSERT_TRUE(showActive(&form));
        auto *liste = findControl<QListWidget>(&form, "ListBox1");
        const QStringList zeilen = listenZeilen(liste);
        ASSERT_EQ(zeilen.size(), f.anzahl);
        EXPECT_EQ(zeilen.constFirst(), f.erste);
        EXPECT_EQ(zeilen.constLast(), f.letzte);
        EXPECT_EQ(liste->currentRow(), 0);
        EXPECT_EQ(QApplication::focusWidget(), liste);
        form.reject();
        EXPECT_EQ(form.Marken, vorher);
    }
    EXPECT_EQ(TGeheMarkeForm::MarkenZeile(3, 10, "725040"), QStringLiteral("03.: 0:12:05,040"));
}

TEST(GeheMarke, EnterTakesTheChosenMarkAndAScreenReaderFindsEveryControl)
{
    TGeheMarkeForm form;
    form.setWindowTitle(QStringLiteral("Gehe zu Marke"));
    form.Marken = QStringList{"5000", "83250", "36000000"};
    ASSERT_TRUE(showActive(&form));
    auto *liste = findControl<QListWidget>(&form, "ListBox1");
    EXPECT_EQ(accessibleRole(liste), QAccessible::List);
    EXPECT_EQ(accessibleName(liste), QStringLiteral("Marken"));
    auto *ok = findControl<QPushButton>(&form, "Button1");
    auto *abbrechen = findControl<QPushButton>(&form, "Button2");
    EXPECT_EQ(accessibleRole(ok), QAccessible::Button);
    EXPECT_EQ(accessibleName(ok), QStringLiteral("OK"));
    EXPECT_EQ(accessibleName(abbrechen), QStringLiteral("Abbrechen"));
    EXPECT_TRUE(ok->isEnabled());

    QTest::keyClick(liste, Qt::Key_End);
    EXPECT_EQ(liste->currentItem()->text(), QStringLiteral("3.: 10:00:00,000"));
    QTest::keyClick(liste, Qt::Key_Up);
    QTest::keyClick(liste, Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.GetMarkePosition(), 83250);
}

TEST(GeheMarke, WithoutMarksNothingCanBeChosen)
{
    TGeheMarkeForm form;
    ASSERT_TRUE(showActive(&form));
    EXPECT_FALSE(findControl<QPushButton>(&form, "Button1")->isEnabled());
    QTest::keyClick(findControl(&form, "ListBox1"), Qt::Key_Return);
    EXPECT_TRUE(form.isVisible());
    QTest::keyClick(findControl(&form, "ListBox1"), Qt::Key_Escape);
    EXPECT_EQ(form.result(), QDialog::Rejected);
}

} // namespace
