#include "../support/controls.h"
#include "../support/messageanswers.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"
#include "ui/common/apptitle.h"
#include "ui/main/mainwindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(MainWindow, StartsWithoutFileCaptionAndProgramTitle)
{
    TForm1 form;
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("NoName - Zindara V1.42"));
    EXPECT_EQ(AnwendungsTitel(), QStringLiteral("NoName - Zindara V1.42"));
    EXPECT_EQ(form.objectName(), QStringLiteral("Form1"));
}

TEST(MainWindow, ClosingTheWindowEndsTheEventLoop)
{
    TForm1 form;
    form.show();
    QTimer::singleShot(0, &form, &QWidget::close);
    EXPECT_EQ(QApplication::exec(), 0);
}

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

class MainWindowFile : public TempDirTest {};

TEST_F(MainWindowFile, OpensTheFileNamedOnTheCommandLine)
{
    const QString mp3 =
        writeFile(QStringLiteral("Kapitel.mp3"), mpeg::frames(mpeg::format(mpeg::Version::Mpeg1, 3, 128, 44100), 200));
    TForm1 form({QStringLiteral("  "), mp3});
    form.show();
    QTRY_COMPARE(form.OriFilename(), mp3);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Kapitel.mp3 - Zindara V1.42"));
    EXPECT_EQ(form.Edit1->text(), mp3);
    EXPECT_TRUE(form.Parameters().isEmpty());
}

} // namespace
