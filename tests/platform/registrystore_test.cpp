#include "platform/registrystore.h"
#include "systemfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <limits>

namespace {

using ValueType = TRegistryStore::ValueType;

class RegistryStoreTest : public SystemTest {};

TEST_F(RegistryStoreTest, KeysAreCreatedOnlyWhenAskedAndDeletedWithTheirSubkeys)
{
    TRegistryStore store;
    EXPECT_FALSE(store.OpenKey(QStringLiteral("\\Software\\Zindara"), false));
    EXPECT_FALSE(store.KeyExists(QStringLiteral("Software\\Zindara")));
    ASSERT_TRUE(store.OpenKey(QStringLiteral("\\Software\\Zindara"), true));
    EXPECT_TRUE(store.KeyExists(QStringLiteral("Software/Zindara")));
    // A key that only holds subkeys exists as well.
    EXPECT_TRUE(store.OpenKey(QStringLiteral("Software"), false));

    EXPECT_TRUE(store.DeleteKey(QStringLiteral("Software")));
    EXPECT_FALSE(store.KeyExists(QStringLiteral("Software\\Zindara")));
    EXPECT_FALSE(store.DeleteKey(QStringLiteral("Software")));
    for (const char *bad : {"", "\\", "..\\outside", "a/../../b"})
        EXPECT_FALSE(store.OpenKey(QString::fromLatin1(bad), true)) << bad;
}

TEST_F(RegistryStoreTest, FilesAreForTheOwnerOnly)
{
    TRegistryStore store;
    ASSERT_TRUE(store.OpenKey(QStringLiteral("Zindara"), true));
    ASSERT_TRUE(store.WriteString(QStringLiteral("ProgramClose"), QStringLiteral("1")));
    const QFileInfo file(registryDir() + QStringLiteral("/Zindara.ini"));
    ASSERT_TRUE(file.exists());
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther
                        | QFileDevice::WriteOther;
    EXPECT_FALSE(file.permissions() & others);
    EXPECT_FALSE(QFileInfo(registryDir()).permissions() & (others | QFileDevice::ExeGroup | QFileDevice::ExeOther));
}

TEST_F(RegistryStoreTest, TextsRoundTripUnchanged)
{
    const QStringList texts{QString(),
                            QStringLiteral("3 10 /home/anna/Eigene Musik/Hörbücher"),
                            QStringLiteral("a=b=c"),
                            QStringLiteral("zwei\nZeilen\r\n"),
                            QStringLiteral("C:\\Musik\\"),
                            QStringLiteral("  Blanks an beiden Enden  "),
                            QStringLiteral("dword:0000000c"),
                            QStringLiteral("sz:x"),
                            QStringLiteral("[keine Gruppe]"),
                            QStringLiteral("# kein Kommentar"),
                            QString(QChar(0)) + QStringLiteral("nach Null")};
    TRegistryStore store;
    ASSERT_TRUE(store.OpenKey(QStringLiteral("Texte"), true));
    for (int i = 0; i < texts.size(); ++i)
        ASSERT_TRUE(store.WriteString(QStringLiteral("v%1").arg(i), texts.at(i)));
    // A name with the characters the file format uses itself.
    ASSERT_TRUE(store.WriteString(QStringLiteral(" [a=b] "), QStringLiteral("name")));

    TRegistryStore other;
    ASSERT_TRUE(other.OpenKey(QStringLiteral("Texte"), false));
    for (int i = 0; i < texts.size(); ++i) {
        const QString name = QStringLiteral("v%1").arg(i);
        EXPECT_EQ(other.GetDataType(name), ValueType::String) << i;
        EXPECT_EQ(other.ReadString(name), texts.at(i)) << i;
    }
    EXPECT_EQ(other.ReadString(QStringLiteral(" [a=b] ")), QStringLiteral("name"));
}

TEST_F(RegistryStoreTest, ValuesReadAcrossTypes)
{
    struct Case {
        const char *name;
        std::optional<qint32> integer;
        const char *text;
        std::optional<qint32> asInteger;
        QString asText;
    };
    const Case cases[] = {
        {"FontColor", qint32(0xFF000008), nullptr, -16777208, QStringLiteral("-16777208")},
        {"Null", 0, nullptr, 0, QStringLiteral("0")},
        {"Max", std::numeric_limits<qint32>::max(), nullptr, std::numeric_limits<qint32>::max(),
         QStringLiteral("2147483647")},
        {"FontSize", std::nullopt, "14", 14, QStringLiteral("14")},
        {"Padded", std::nullopt, " -3 ", -3, QStringLiteral(" -3 ")},
        {"Hex", std::nullopt, "0x10", 16, QStringLiteral("0x10")},
        {"Delphi", std::nullopt, "$FF", 255, QStringLiteral("$FF")},
        {"Word", std::nullopt, "groß", std::nullopt, QStringLiteral("groß")},
        {"Empty", std::nullopt, "", std::nullopt, QString()},
        {"TooBig", std::nullopt, "99999999999", std::nullopt, QStringLiteral("99999999999")},
    };
    TRegistryStore store;
    ASSERT_TRUE(store.OpenKey(QStringLiteral("Typen"), true));
    for (const Case &c : cases) {
        const QString name = QString::fromLatin1(c.name);
        ASSERT_TRUE(c.integer ? store.WriteInteger(name, *c.integer) : store.WriteString(name, QString::fromUtf8(c.text)));
    }
    for (const Case &c : cases) {
        const QString name = QString::fromLatin1(c.name);
        EXPECT_EQ(store.GetDataType(name), c.integer ? ValueType::Integer : ValueType::String) << c.name;
        EXPECT_EQ(store.ReadInteger(name), c.asInteger) << c.name;
        EXPECT_EQ(store.ReadString(name), c.asText) << c.name;
    }
    EXPECT_EQ(store.GetDataType(QStringLiteral("fehlt")), ValueType::None);
    EXPECT_EQ(store.ReadString(QStringLiteral("fehlt")), std::nullopt);
    EXPECT_EQ(store.ReadInteger(QStringLiteral("fehlt")), std::nullopt);
}

TEST_F(RegistryStoreTest, ValuesAreReplacedAndDeleted)
{
    TRegistryStore store;
    ASSERT_TRUE(store.OpenKey(QStringLiteral("Zindara"), true));
    ASSERT_TRUE(store.WriteString(QStringLiteral("ProgramClose"), QStringLiteral("1")));
    ASSERT_TRUE(store.WriteInteger(QStringLiteral("ProgramClose"), 7));
    ASSERT_TRUE(store.WriteString(QStringLiteral("ProgramSetFocus"), QStringLiteral("1")));
    EXPECT_EQ(store.GetValueNames(), (QStringList{QStringLiteral("ProgramClose"), QStringLiteral("ProgramSetFocus")}));
    EXPECT_EQ(store.ReadInteger(QStringLiteral("ProgramClose")), 7);

    EXPECT_TRUE(store.DeleteValue(QStringLiteral("ProgramClose")));
    EXPECT_FALSE(store.DeleteValue(QStringLiteral("ProgramClose")));
    EXPECT_FALSE(store.ValueExists(QStringLiteral("ProgramClose")));
    EXPECT_TRUE(store.ValueExists(QStringLiteral("ProgramSetFocus")));
    store.CloseKey();
    EXPECT_FALSE(store.WriteString(QStringLiteral("x"), QStringLiteral("ohne offenen Schlüssel")));
}

TEST_F(RegistryStoreTest, HandWrittenAndDamagedFilesAreReadAsFarAsTheyGo)
{
    QDir().mkpath(registryDir());
    const char raw[] = "[General]\n; a comment\nProgramClose = 1\r\n"
                       "no separator\n\xff\xfe\x00garbage=\x80\n=no name\nFontSize=dword:zz\n";
    writeFile(QStringLiteral("reg/Zindara.ini"), QByteArray(raw, sizeof(raw) - 1));
    TRegistryStore store;
    ASSERT_TRUE(store.OpenKey(QStringLiteral("Zindara"), false));
    EXPECT_EQ(store.ReadString(QStringLiteral("ProgramClose")), QStringLiteral("1"));
    EXPECT_EQ(store.GetDataType(QStringLiteral("FontSize")), ValueType::String);
    EXPECT_EQ(store.ReadInteger(QStringLiteral("FontSize")), std::nullopt);
    // Writing keeps what could be read.
    ASSERT_TRUE(store.WriteInteger(QStringLiteral("FontSize"), 12));
    EXPECT_EQ(store.ReadString(QStringLiteral("ProgramClose")), QStringLiteral("1"));
}

TEST_F(RegistryStoreTest, AWriteThatDoesNotFitKeepsTheKeyAsItWas)
{
    TRegistryStore store;
    ASSERT_TRUE(store.OpenKey(QStringLiteral("Zindara"), true));
    ASSERT_TRUE(store.WriteString(QStringLiteral("ProgramParameters"), QStringLiteral("/m/a.mp3")));
    ASSERT_TRUE(store.WriteInteger(QStringLiteral("FontSize"), 12));
    const QString file = registryDir() + QStringLiteral("/Zindara.ini");
    const QByteArray before = readFile(file);
    {
        // Room for the lock file, not for the long values.
        DateiGrenze grenze(rlim_t(before.size() + 1024));
        EXPECT_FALSE(store.WriteString(QStringLiteral("ProgramParameters"), QString(8192, QLatin1Char('x'))));
        EXPECT_FALSE(store.WriteValues(
            {{QStringLiteral("FontSize"), 13}, {QStringLiteral("Lang"), QString(8192, QLatin1Char('y'))}}));
        EXPECT_TRUE(store.WriteInteger(QStringLiteral("FontSize"), 14));
    }
    EXPECT_EQ(store.ReadString(QStringLiteral("ProgramParameters")), QStringLiteral("/m/a.mp3"));
    EXPECT_EQ(store.ReadInteger(QStringLiteral("FontSize")), 14);
    EXPECT_EQ(store.GetValueNames(), (QStringList{QStringLiteral("ProgramParameters"), QStringLiteral("FontSize")}));
    EXPECT_EQ(QDir(registryDir()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Zindara.ini")});
}

TEST_F(RegistryStoreTest, LocksNestWithinOneStore)
{
    TRegistryStore store;
    TRegistryStore::Sperre outer(store);
    ASSERT_TRUE(outer);
    ASSERT_TRUE(store.OpenKey(QStringLiteral("Zindara"), true));
    EXPECT_TRUE(store.WriteString(QStringLiteral("a"), QStringLiteral("b")));
    TRegistryStore::Sperre inner(store);
    EXPECT_TRUE(inner);
}

TEST_F(RegistryStoreTest, AStoreThatCannotBeMadeFailsQuietly)
{
    writeFile(QStringLiteral("reg"), "a file where the folder should be");
    TRegistryStore store;
    EXPECT_FALSE(store.OpenKey(QStringLiteral("Zindara"), true));
    EXPECT_FALSE(store.KeyExists(QStringLiteral("Zindara")));
    EXPECT_FALSE(store.DeleteKey(QStringLiteral("Zindara")));
}

} // namespace
