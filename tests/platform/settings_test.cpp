#include "platform/settings.h"
#include "platform/userfolders.h"
#include "systemfixture.h"

#include <QDir>
#include <QFileInfo>
#include <QPalette>
#include <optional>

namespace {

class SettingsTest : public SystemTest {
protected:
    void SetUp() override
    {
        SystemTest::SetUp();
        ArbeitsordnerSetzen(path(QStringLiteral("Dokumente")));
        fStore.emplace();
    }
    void TearDown() override
    {
        ProzessTexteSetzen();
        SystemTest::TearDown();
    }

    TEinstellungen laden()
    {
        TEinstellungen e;
        e.FontName = QStringLiteral("vorher");
        EXPECT_TRUE(RegistryLadenSpeichern(true, e, store()));
        return e;
    }
    void schreiben(const char *name, const QString &text)
    {
        ASSERT_TRUE(store().OpenKey(QString::fromLatin1(EinstellungenSchluessel), true));
        ASSERT_TRUE(store().WriteString(QString::fromLatin1(name), text));
        store().CloseKey();
    }
    void schreiben(const char *name, qint32 value)
    {
        ASSERT_TRUE(store().OpenKey(QString::fromLatin1(EinstellungenSchluessel), true));
        ASSERT_TRUE(store().WriteInteger(QString::fromLatin1(name), value));
        store().CloseKey();
    }

    TRegistryStore &store() { return *fStore; }

private:
    // Made after SetUp, so it finds the test's own registry folder.
    std::optional<TRegistryStore> fStore;
};

TEST_F(SettingsTest, ANewUserGetsTheDefaults)
{
    const TEinstellungen e = laden();
    EXPECT_EQ(e.Modus, 2);
    EXPECT_EQ(e.VorRueckSekunden, 5);
    EXPECT_EQ(e.InitialDirStr, Arbeitsordner());
    EXPECT_EQ(e.FontName, QStringLiteral("Arial"));
    EXPECT_EQ(e.FontSize, 12);
    EXPECT_EQ(e.FontColor, -16777208);
    EXPECT_EQ(e.FontCharSet, 0);
    EXPECT_EQ(e.FontStyle, 0);
    EXPECT_EQ(e.HintergrundNr, 1);
    // Loading opens the key with creating it.
    EXPECT_TRUE(store().KeyExists(QStringLiteral("Software\\Zindara")));
}

TEST_F(SettingsTest, DatenGivesModeStepAndStartFolder)
{
    const QString music = path(QStringLiteral("Eigene Musik/Hörbücher"));
    ASSERT_TRUE(QDir().mkpath(music));
    struct Case {
        QString daten;
        int modus;
        int schritt;
        QString ordner; // empty: Arbeitsordner
    };
    const Case cases[] = {
        {QStringLiteral("3 10 ") + music, 3, 10, music},
        {QStringLiteral("1 0"), 1, 1, QString()},
        {QStringLiteral("7 99 /gibt/es/nicht"), 4, 60, QString()},
        {QStringLiteral("abc"), 2, 5, QString()},
        {QString(), 2, 5, QString()},
        {QStringLiteral("x y ") + music, 2, 5, music},
        {QStringLiteral("   2   30   ") + music, 2, 30, music},
        {QStringLiteral("-1 -7"), 4, 1, QString()},
        {QStringLiteral("0 60"), 4, 60, QString()},
        {QStringLiteral("3 99999999999"), 3, 5, QString()},
        {QStringLiteral("2 5 "), 2, 5, QString()},
        // Only blanks part words; other white space makes a word no number.
        {QStringLiteral("1 7\t"), 1, 5, QString()},
        {QStringLiteral("\n3 +10"), 2, 10, QString()},
        {QStringLiteral("3\t10"), 2, 5, QString()},
    };
    for (const Case &c : cases) {
        schreiben("Daten", c.daten);
        const TEinstellungen e = laden();
        EXPECT_EQ(e.Modus, c.modus) << c.daten.toStdString();
        EXPECT_EQ(e.VorRueckSekunden, c.schritt) << c.daten.toStdString();
        EXPECT_EQ(e.InitialDirStr, c.ordner.isEmpty() ? Arbeitsordner() : c.ordner) << c.daten.toStdString();
    }
}

TEST_F(SettingsTest, FontStyleBitsAreItalicOneBoldTwo)
{
    struct Case {
        qint32 stored;
        int style;
    };
    for (const Case c : {Case{3, fsItalic | fsBold}, Case{2, fsBold}, Case{1, fsItalic}, Case{12, fsUnderline | fsStrikeOut},
                         Case{0x7FFFFFF0, 0}}) {
        schreiben("FontStyle", c.stored);
        EXPECT_EQ(laden().FontStyle, c.style) << c.stored;
    }

    TEinstellungen bold = laden();
    bold.FontStyle = fsBold;
    ASSERT_TRUE(RegistryLadenSpeichern(false, bold, store()));
    ASSERT_TRUE(store().OpenKey(QString::fromLatin1(EinstellungenSchluessel), false));
    EXPECT_EQ(store().GetDataType(QStringLiteral("FontStyle")), TRegistryStore::ValueType::Integer);
    EXPECT_EQ(store().ReadInteger(QStringLiteral("FontStyle")), 2);
}

TEST_F(SettingsTest, ValuesOfTheOtherTypeReadSensibly)
{
    schreiben("FontSize", QStringLiteral("14"));
    schreiben("HintColor", QStringLiteral("3"));
    schreiben("FontStyle", QStringLiteral("fett"));
    schreiben("FontColor", QStringLiteral("kein Wert"));
    schreiben("FontName", 7);
    schreiben("Daten", 3);
    const TEinstellungen e = laden();
    EXPECT_EQ(e.FontSize, 14);
    EXPECT_EQ(e.HintergrundNr, 3);
    EXPECT_EQ(e.FontStyle, 0);
    EXPECT_EQ(e.FontColor, -16777208);
    EXPECT_EQ(e.FontName, QStringLiteral("7"));
    // A number alone is one word, so "Daten" counts as missing.
    EXPECT_EQ(e.Modus, 2);
    EXPECT_EQ(e.VorRueckSekunden, 5);

    schreiben("FontName", QString());
    EXPECT_EQ(laden().FontName, QStringLiteral("Arial"));
}

TEST_F(SettingsTest, SavedSettingsLoadAgain)
{
    const QString folder = path(QStringLiteral("Hörbücher mit Blank"));
    ASSERT_TRUE(QDir().mkpath(folder));
    TEinstellungen saved;
    saved.Modus = 3;
    saved.VorRueckSekunden = 17;
    saved.InitialDirStr = folder;
    saved.HintergrundNr = 4;
    saved.FontName = QStringLiteral("DejaVu Sans");
    saved.FontSize = 20;
    saved.FontColor = 0x00FF8000;
    saved.FontCharSet = 1;
    saved.FontStyle = fsBold | fsUnderline;
    ASSERT_TRUE(RegistryLadenSpeichern(false, saved, store()));

    ASSERT_TRUE(store().OpenKey(QString::fromLatin1(EinstellungenSchluessel), false));
    EXPECT_EQ(store().ReadString(QStringLiteral("Daten")), QStringLiteral("3 17 ") + folder);
    store().CloseKey();
    TEinstellungen loaded;
    TRegistryStore fresh;
    ASSERT_TRUE(RegistryLadenSpeichern(true, loaded, fresh));
    EXPECT_EQ(loaded, saved);
}

TEST_F(SettingsTest, DamagedOrUnusableStoresGiveTheDefaults)
{
    ASSERT_TRUE(QDir().mkpath(registryDir() + QStringLiteral("/Software")));
    const char garbage[] = "\x00\x01\x02" "Daten\xff\xfe\nFontSize=\x80\x81\n";
    writeFile(QStringLiteral("reg/Software/Zindara.ini"), QByteArray(garbage, sizeof(garbage) - 1));
    EXPECT_EQ(laden(), StandardEinstellungen());

    // Loading gives the defaults, saving fails quietly and leaves the settings in hand alone.
    const QString keyIsFolder = path(QStringLiteral("reg2"));
    ASSERT_TRUE(QDir().mkpath(keyIsFolder + QStringLiteral("/Software/Zindara.ini")));
    for (const QString &root :
         {writeFile(QStringLiteral("kein-ordner"), "x"), QStringLiteral("/proc/zindara-registry"), keyIsFolder}) {
        setEnv("ZINDARA_REGISTRY_DIR", root);
        TRegistryStore broken;
        TEinstellungen e;
        e.FontName = QStringLiteral("vorher");
        RegistryLadenSpeichern(true, e, broken);
        EXPECT_EQ(e, StandardEinstellungen()) << root.toStdString();
        e.FontSize = 30;
        const TEinstellungen kept = e;
        EXPECT_FALSE(RegistryLadenSpeichern(false, e, broken)) << root.toStdString();
        EXPECT_EQ(e, kept) << root.toStdString();
    }
}

TEST_F(SettingsTest, ASaveThatFailsHalfwayKeepsTheStoredSettings)
{
    TEinstellungen before = laden();
    before.Modus = 1;
    ASSERT_TRUE(RegistryLadenSpeichern(false, before, store()));
    const qint64 size = QFileInfo(registryDir() + QStringLiteral("/Software/Zindara.ini")).size();
    ASSERT_GT(size, 0);

    // The mode fits into the file as it is; the long font name does not.
    TEinstellungen after = before;
    after.Modus = 3;
    after.FontName = QString(4096, QLatin1Char('x'));
    {
        DateiGrenze grenze(rlim_t(size + 64));
        EXPECT_FALSE(RegistryLadenSpeichern(false, after, store()));
    }
    EXPECT_EQ(laden(), before);
}

TEST(FarbwertTest, ColoursAreRgbOrSystemColours)
{
    QPalette palette;
    palette.setColor(QPalette::Text, QColor(1, 2, 3));
    palette.setColor(QPalette::Base, QColor(250, 251, 252));
    EXPECT_EQ(FarbwertZuFarbe(clWindowText, palette), QColor(1, 2, 3));
    EXPECT_EQ(FarbwertZuFarbe(qint32(0xFF000005), palette), QColor(250, 251, 252));
    EXPECT_EQ(FarbwertZuFarbe(0x00FF8000, palette), QColor(0x00, 0x80, 0xFF));
    EXPECT_EQ(FarbeZuFarbwert(QColor(0x00, 0x80, 0xFF)), 0x00FF8000);
    EXPECT_EQ(FarbeZuFarbwert(FarbwertZuFarbe(0x00123456, palette)), 0x00123456);
}

} // namespace
