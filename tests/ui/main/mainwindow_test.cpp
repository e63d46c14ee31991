#include "ui/common/apptitle.h"
#include "ui/main/mainwindow.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(MainWindow, StartsWithoutFileCaptionAndProgramTitle)
{
    TForm1 form;
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("NoName - Zindara V1.42"));
    EXPECT_EQ(AnwendungsTitel(), QStringLiteral("Zindara V1.42"));
    EXPECT_EQ(form.objectName(), QStringLiteral("Form1"));
}

} // namespace

namespace {

TEST(MainWindow, ClosingTheWindowEndsTheEventLoop)
{
    TForm1 form;
    form.show();
    QTimer::singleShot(0, &form, &QWidget::close);
    EXPECT_EQ(QApplication::exec(), 0);
}

} // namespace

namespace {

TEST(MainWindow, KeepsOnlyNonBlankArgumentsAsParameters)
{
    TForm1 form({QStringLiteral("   "), QStringLiteral(" /x/a.mp3 "), QStringLiteral("/x/b.mp3")});
    EXPECT_EQ(form.Parameters(), (QStringList{QStringLiteral("/x/a.mp3"), QStringLiteral("/x/b.mp3")}));
}

TEST(MainWindow, MailboxRequestsReachTheWindow)
{
    TForm1 form;
    form.show();
    form.WMCopyData(QStringLiteral("/x/a.mp3|/x/b.mp3"));
    EXPECT_EQ(form.Parameters(), (QStringList{QStringLiteral("/x/a.mp3"), QStringLiteral("/x/b.mp3")}));
    form.WelfranzWmClose();
    EXPECT_FALSE(form.isVisible());
}

} // namespace
