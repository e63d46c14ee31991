#include "ui/common/translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TEST(Translations, GermanButtonsAndKeyNames)
{
    ASSERT_TRUE(DeutscheUebersetzungLaden(*qApp));
    QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Yes)->text().remove('&'), QStringLiteral("Ja"));
    EXPECT_EQ(box.button(QDialogButtonBox::No)->text().remove('&'), QStringLiteral("Nein"));
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove('&'), QStringLiteral("Abbrechen"));
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_O).toString(QKeySequence::NativeText), QStringLiteral("Strg+O"));
}

} // namespace
