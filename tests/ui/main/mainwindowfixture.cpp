#include "mainwindowfixture.h"

#include "platform/registrystore.h"
#include "platform/settings.h"
#include "ui/common/appearance.h"
#include "ui/common/translations.h"

#include <QApplication>
#include <QTest>

void MainWindowTest::SetUp()
{
    TempDirTest::SetUp();
    static const bool deutsch = DeutscheUebersetzungLaden(*qApp);
    ASSERT_TRUE(deutsch) << "Qt's German translations are not installed";
    TRegistryStore store;
    store.DeleteKey(QLatin1String(EinstellungenSchluessel));
}

void MainWindowTest::TearDown()
{
    form.reset();
    ProgrammAussehen() = TAussehen{QApplication::font(), QApplication::palette().color(QPalette::Text), Qt::white};
    TempDirTest::TearDown();
}

TForm1 &MainWindowTest::showForm(const QStringList &arguments)
{
    form = std::make_unique<TForm1>(arguments);
    EXPECT_TRUE(showActive(form.get()));
    return *form;
}

QString MainWindowTest::mp3(const QString &name, int frames, const QByteArray &before, const QByteArray &after)
{
    return writeFile(name, before + mpeg::frames(mpeg::format(mpeg::Version::Mpeg1, 3, 128, 44100), frames) + after);
}

QAction *MainWindowTest::action(const char *name)
{
    auto *a = form->findChild<QAction *>(QLatin1String(name));
    EXPECT_NE(a, nullptr) << "no menu item " << name;
    return a;
}

void MainWindowTest::openByHandOver(const QString &file)
{
    form->WMCopyData(file);
    WAIT_EQ(form->TimerSendTo->isActive(), false);
}
