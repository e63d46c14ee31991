#include "platform/registrymailbox.h"
#include "platform/registrystore.h"
#include "platform/watchregistrysettings.h"
#include "systemfixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>

namespace {

TEST(ParameterTextTest, ArgumentsAreTrimmedJoinedAndSplitAgain)
{
    struct Case {
        QStringList arguments;
        QString joined;
        QStringList parts;
    };
    const Case cases[] = {
        {{QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")}, QStringLiteral("/m/a.mp3|/m/b.mp3"),
         {QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")}},
        {{QStringLiteral("  "), QStringLiteral(" /m/x.mp3\t")}, QStringLiteral("/m/x.mp3"), {QStringLiteral("/m/x.mp3")}},
        // A blank last argument still leaves the "|" behind the one before it.
        {{QStringLiteral("/m/a.mp3"), QStringLiteral(" ")}, QStringLiteral("/m/a.mp3|"), {QStringLiteral("/m/a.mp3")}},
        {{QStringLiteral("/m/a.mp3"), QString(), QStringLiteral("b")}, QStringLiteral("/m/a.mp3|b"),
         {QStringLiteral("/m/a.mp3"), QStringLiteral("b")}},
        {{QStringLiteral("/m/Mit Blank.mp3")}, QStringLiteral("/m/Mit Blank.mp3"), {QStringLiteral("/m/Mit Blank.mp3")}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ParameterVerbinden(c.arguments), c.joined);
        EXPECT_EQ(SplitParameters(c.joined), c.parts) << c.joined.toStdString();
    }
    EXPECT_EQ(SplitParameters(QStringLiteral("||a|||b|")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(ParameterVerbinden({}), QString());
}

TEST(ParameterTextTest, EmptyTextStandsForThisProcess)
{
    // The test program runs without arguments.
    EXPECT_EQ(GetParameters(QString()), QString());
    EXPECT_EQ(GetParameters(QStringLiteral("x|y")), QStringLiteral("x|y"));
    EXPECT_TRUE(SplitParameters(QString()).isEmpty());
}

TEST(RegistrySettingsTest, ConstructingFunctionsSetOneField)
{
    const TRegistrySettings p = rsParameters(QStringLiteral("a|b"));
    EXPECT_EQ(p.Parameters, QStringLiteral("a|b"));
    EXPECT_TRUE(p.SetFocus.isEmpty() && p.Close.isEmpty());
    const TRegistrySettings f = rsSetFocus();
    EXPECT_EQ(f.SetFocus, QStringLiteral("1"));
    EXPECT_TRUE(f.Parameters.isEmpty() && f.Close.isEmpty());
    EXPECT_EQ(rsSetFocus(QStringLiteral("ja")).SetFocus, QStringLiteral("ja"));
    const TRegistrySettings c = rsClose();
    EXPECT_EQ(c.Close, QStringLiteral("1"));
    EXPECT_TRUE(c.Parameters.isEmpty() && c.SetFocus.isEmpty());
    EXPECT_TRUE(rsParameters().IsEmpty());
}

class MailboxTest : public SystemTest {};

TEST_F(MailboxTest, WrittenRequestsAreReadOnceAndTheKeyGoes)
{
    TRegistryStore store;
    TRegistrySettings written;
    written.SetData(QStringLiteral("/m/a.mp3|/m/b.mp3"), QStringLiteral("1"), QStringLiteral("x"));
    ASSERT_TRUE(WriteRegistrySettings(QStringLiteral("Zindara"), written, store));
    EXPECT_TRUE(store.KeyExists(QStringLiteral("Zindara")));

    TRegistrySettings read;
    read.SetData(QStringLiteral("alt"), QStringLiteral("alt"), QStringLiteral("alt"));
    ASSERT_TRUE(ReadRegistrySettings(QStringLiteral("Zindara"), read, store));
    EXPECT_EQ(read.Parameters, written.Parameters);
    EXPECT_EQ(read.SetFocus, written.SetFocus);
    EXPECT_EQ(read.Close, written.Close);
    EXPECT_FALSE(store.KeyExists(QStringLiteral("Zindara")));

    EXPECT_FALSE(ReadRegistrySettings(QStringLiteral("Zindara"), read, store));
    EXPECT_TRUE(read.IsEmpty());
}

TEST_F(MailboxTest, NothingSetWritesNothing)
{
    TRegistryStore store;
    EXPECT_TRUE(WriteRegistrySettings(QStringLiteral("Zindara"), TRegistrySettings(), store));
    EXPECT_FALSE(store.KeyExists(QStringLiteral("Zindara")));
}

TEST_F(MailboxTest, OnlySetValuesAreWrittenAndForeignValuesKeepTheKey)
{
    TRegistryStore store;
    ASSERT_TRUE(WriteRegistrySettings(QStringLiteral("Zindara"), rsClose(), store));
    ASSERT_TRUE(store.OpenKey(QStringLiteral("Zindara"), false));
    EXPECT_EQ(store.GetValueNames(), QStringList{QStringLiteral("ProgramClose")});
    ASSERT_TRUE(store.WriteString(QStringLiteral("Fremd"), QStringLiteral("bleibt")));
    store.CloseKey();

    TRegistrySettings read;
    ASSERT_TRUE(ReadRegistrySettings(QStringLiteral("Zindara"), read, store));
    EXPECT_EQ(read.Close, QStringLiteral("1"));
    ASSERT_TRUE(store.OpenKey(QStringLiteral("Zindara"), false));
    EXPECT_EQ(store.GetValueNames(), QStringList{QStringLiteral("Fremd")});
}

TEST_F(MailboxTest, AMailboxThatCannotBeWrittenReportsFailure)
{
    setEnv("ZINDARA_REGISTRY_DIR", writeFile(QStringLiteral("kein-ordner"), "x"));
    TRegistryStore store;
    EXPECT_FALSE(WriteRegistrySettings(QStringLiteral("Zindara"), rsSetFocus(), store));
    TRegistrySettings read;
    EXPECT_FALSE(ReadRegistrySettings(QStringLiteral("Zindara"), read, store));
}

class Aufzeichner : public QObject, public TMailboxEmpfaenger {
public:
    void WMCopyData(const QString &text) override { calls << QStringLiteral("COPYDATA ") + text; }
    void WelfranzWmSetFocus() override { calls << QStringLiteral("SETFOCUS"); }
    void WelfranzWmClose() override { calls << QStringLiteral("CLOSE"); }

    // The next request handed over; generous, the machine is shared.
    QString naechster()
    {
        QDeadlineTimer deadline(30000);
        while (calls.isEmpty() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return calls.isEmpty() ? QString() : calls.takeFirst();
    }

    QStringList calls;
};

TEST_F(MailboxTest, TheWatcherHandsOverOneRequestPerPass)
{
    Aufzeichner receiver;
    TWatchRegistrySettings watcher(&receiver, &receiver, QStringLiteral("Zindara"), false);
    TRegistrySettings rs;

    // Only characters up to the blank are cut off the ends, as the joined text was made.
    rs.SetData(QStringLiteral("\t /m/Lied\u00A0.mp3|/m/Zwei\u00A0") + QChar(1), QString(), QString());
    ASSERT_TRUE(WriteRegistrySettings(QStringLiteral("Zindara"), rs));
    EXPECT_EQ(receiver.naechster(), QStringLiteral("COPYDATA /m/Lied\u00A0.mp3|/m/Zwei\u00A0"));

    // Parameters of blanks alone send nothing, and the focus request read with them is dropped.
    rs.SetData(QStringLiteral("   "), QStringLiteral("1"), QString());
    ASSERT_TRUE(WriteRegistrySettings(QStringLiteral("Zindara"), rs));
    TRegistryStore store;
    QDeadlineTimer deadline(30000);
    while (store.KeyExists(QStringLiteral("Zindara")) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(WriteRegistrySettings(QStringLiteral("Zindara"), rsClose(QStringLiteral("ja"))));
    EXPECT_EQ(receiver.naechster(), QStringLiteral("CLOSE"));
    watcher.Beenden();
    QCoreApplication::processEvents();
    EXPECT_TRUE(receiver.calls.isEmpty()) << receiver.calls.join(QLatin1Char(',')).toStdString();
}

} // namespace
