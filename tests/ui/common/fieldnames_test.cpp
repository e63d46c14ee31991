#include "ui/common/activecontrol.h"
#include "ui/common/fieldnames.h"

#include "ui/support/controls.h"
#include "ui/support/recordingscreenreader.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A window with one labelled field, one field with a fixed name and an unnamed one.
struct FieldWindow {
    FieldWindow()
    {
        window.setObjectName(QStringLiteral("Fenster"));
        label.setText(QStringLiteral("Datei&größe:"));
        edit.setObjectName(QStringLiteral("Edit2"));
        slider.setObjectName(QStringLiteral("TrackBar1"));
        other.setObjectName(QStringLiteral("Edit9"));
        FeldBeschriften(&label, &edit);
        FeldNameSetzen(&slider, QStringLiteral("Lautstärke"));
        window.setGeometry(0, 0, 300, 200);
    }
    QWidget window;
    QLabel label{&window};
    QLineEdit edit{&window};
    QSlider slider{Qt::Horizontal, &window};
    QLineEdit other{&window};
};

TEST(FieldNames, LabelIsBuddyAndItsCaptionIsTheAccessibleName)
{
    FieldWindow w;
    EXPECT_EQ(w.label.buddy(), &w.edit);
    EXPECT_EQ(accessibleName(findControl(&w.window, QStringLiteral("Edit2"))), QStringLiteral("Dateigröße:"));
    EXPECT_EQ(accessibleRole(&w.edit), QAccessible::EditableText);
    EXPECT_EQ(accessibleName(&w.slider), QStringLiteral("Lautstärke"));
    EXPECT_EQ(accessibleRole(&w.slider), QAccessible::Slider);

    // A changed caption is taken over when the label is given again.
    w.label.setText(QStringLiteral("&Titel:"));
    FeldBeschriften(&w.label, &w.edit);
    EXPECT_EQ(accessibleName(&w.edit), QStringLiteral("Titel:"));
}

TEST(FieldNames, FocusSpeaksTheNameWithoutInterrupting)
{
    TRecordingScreenReader reader;
    FieldWindow w;
    ASSERT_TRUE(showActive(&w.window));
    w.other.setFocus();
    reader.clear();

    QTest::keyClick(&w.window, Qt::Key_G, Qt::AltModifier); // the label's accelerator
    EXPECT_TRUE(w.edit.hasFocus());
    w.slider.setFocus(Qt::TabFocusReason);
    w.other.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(reader.spoken(), (QStringList{QStringLiteral("Dateigröße:"), QStringLiteral("Lautstärke")}));
    EXPECT_TRUE(reader.interrupting().isEmpty());
}

// Coming back with the window to the same field says nothing new; giving the focus back after a
// dialog with SetActiveControl names the field again, as a move to it does.
TEST(FieldNames, WindowReturnIsSilentButSetActiveControlSpeaks)
{
    TRecordingScreenReader reader;
    FieldWindow w;
    ASSERT_TRUE(showActive(&w.window));
    w.edit.setFocus(Qt::TabFocusReason);
    QWidget *merkActiveControl = w.window.focusWidget();
    ASSERT_EQ(merkActiveControl, &w.edit);

    QWidget dialog;
    ASSERT_TRUE(showActive(&dialog));
    dialog.hide();
    ASSERT_TRUE(showActive(&w.window));
    EXPECT_TRUE(w.edit.hasFocus());
    EXPECT_EQ(reader.spoken(), QStringList{QStringLiteral("Dateigröße:")});

    ASSERT_TRUE(showActive(&dialog));
    dialog.hide();
    SetActiveControl(merkActiveControl);
    ASSERT_TRUE(showActive(&w.window));
    EXPECT_TRUE(w.edit.hasFocus());
    EXPECT_EQ(reader.spoken(), (QStringList{QStringLiteral("Dateigröße:"), QStringLiteral("Dateigröße:")}));
}

TEST(FieldNames, SetActiveControlLeavesHiddenControlsAlone)
{
    FieldWindow w;
    ASSERT_TRUE(showActive(&w.window));
    w.other.setFocus();
    w.edit.hide();
    SetActiveControl(&w.edit);
    EXPECT_FALSE(w.edit.hasFocus());
    SetActiveControl(nullptr);
}

} // namespace
