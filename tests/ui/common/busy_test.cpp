#include "ui/common/busy.h"

#include "ui/support/controls.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A window with a menu command and a button, and a second window it owns (a message box).
struct BusyWindow {
    BusyWindow()
    {
        QAction *action = window.menuBar()->addMenu(QStringLiteral("&Datei"))->addAction(QStringLiteral("&Teilen..."));
        action->setShortcut(Qt::CTRL | Qt::Key_T);
        QObject::connect(action, &QAction::triggered, [this] { ++commands; });
        button = new QPushButton(QStringLiteral("&Teilen..."), &window);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        window.setCentralWidget(button);
        box.setParent(&window, Qt::Dialog);
    }
    QMainWindow window;
    QPushButton *button;
    QLineEdit box;
    int commands = 0;
    int clicks = 0;
};

TEST(CommandGuard, WindowIgnoresItsCommandsWhileTheGuardLives)
{
    BusyWindow w;
    ASSERT_TRUE(showActive(&w.window));
    {
        TBefehlsSperre sperre(w.button);
        EXPECT_TRUE(TBefehlsSperre::Gesperrt(&w.window));
        QTest::keyClick(&w.window, Qt::Key_T, Qt::ControlModifier);
        QTest::mouseClick(w.button, Qt::LeftButton);
        w.window.close();
        EXPECT_TRUE(w.window.isVisible());
        EXPECT_EQ(w.commands, 0);
        EXPECT_EQ(w.clicks, 0);

        // A box the window shows meanwhile takes keys as usual.
        ASSERT_TRUE(showActive(&w.box));
        QTest::keyClicks(&w.box, QStringLiteral("ja"));
        EXPECT_EQ(w.box.text(), QStringLiteral("ja"));
        w.box.hide();
        ASSERT_TRUE(showActive(&w.window));
    }
    EXPECT_FALSE(TBefehlsSperre::Gesperrt(&w.window));
    QTest::keyClick(&w.window, Qt::Key_T, Qt::ControlModifier);
    QTest::mouseClick(w.button, Qt::LeftButton);
    EXPECT_EQ(w.commands, 1);
    EXPECT_EQ(w.clicks, 1);
}

TEST(CommandGuard, HourglassForTheGuardsLifetime)
{
    {
        TSanduhr sanduhr;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
