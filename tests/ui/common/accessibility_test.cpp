#include "ui/common/accessibility.h"

#include <QAccessible>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// Orca joins the attribute runs a field reports and reads the text they cover.
TEST(Accessibility, AFieldsAttributeRunCoversItsWholeText)
{
    ZugangEinrichten();
    for (const QString &wert : {QStringLiteral("400.000 Bytes"), QStringLiteral("0:00:25,051"), QStringLiteral("x")}) {
        SCOPED_TRACE(wert.toStdString());
        QLineEdit feld(wert);
        feld.setReadOnly(true);
        feld.setCursorPosition(0);
        QAccessibleInterface *zugang = QAccessible::queryAccessibleInterface(&feld);
        ASSERT_TRUE(zugang && zugang->textInterface());
        QAccessibleTextInterface *text = zugang->textInterface();
        EXPECT_EQ(text->characterCount(), wert.size());
        for (int offset = 0; offset < wert.size(); ++offset) {
            int start = -1;
            int end = -1;
            text->attributes(offset, &start, &end);
            EXPECT_EQ(start, 0);
            EXPECT_EQ(end, wert.size());
        }
        int start = -1;
        int end = -1;
        EXPECT_EQ(text->textAtOffset(0, QAccessible::LineBoundary, &start, &end), wert);
        EXPECT_EQ(zugang->text(QAccessible::Value), wert);
        EXPECT_EQ(zugang->role(), QAccessible::EditableText);
        EXPECT_TRUE(zugang->state().readOnly);
    }
}

} // namespace
