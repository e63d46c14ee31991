#include "platform/registrymailbox.h"

#include "platform/registrystore.h"
#include "support/formatting.h"

#include <QCoreApplication>

namespace {

const QString programParameters = QStringLiteral("ProgramParameters");
const QString programSetFocus = QStringLiteral("ProgramSetFocus");
const QString programClose = QStringLiteral("ProgramClose");

QString processParameters()
{
    if (!QCoreApplication::instance())
        return QString();
    return ParameterVerbinden(QCoreApplication::arguments().mid(1));
}

} // namespace

void TRegistrySettings::SetData(const QString &AParameters, const QString &ASetFocus, const QString &AClose)
{
    Parameters = AParameters;
    SetFocus = ASetFocus;
    Close = AClose;
}

TRegistrySettings rsParameters(const QString &AParameters)
{
    TRegistrySettings rs;
    rs.SetData(AParameters.isEmpty() ? processParameters() : AParameters, QString(), QString());
    return rs;
}

TRegistrySettings rsSetFocus(const QString &ASetFocus)
{
    TRegistrySettings rs;
    rs.SetData(QString(), ASetFocus.isEmpty() ? QStringLiteral("1") : ASetFocus, QString());
    return rs;
}

TRegistrySettings rsClose(const QString &AClose)
{
    TRegistrySettings rs;
    rs.SetData(QString(), QString(), AClose.isEmpty() ? QStringLiteral("1") : AClose);
    return rs;
}

QString ParameterVerbinden(const QStringList &arguments)
{
    QString joined;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString arg = BlanksAbschneiden(arguments.at(i));
        if (arg.isEmpty())
            continue;
        joined += arg;
        if (i < arguments.size() - 1)
            joined += QLatin1Char('|');
    }
    return joined;
}

QString GetParameters(const QString &T)
{
    return T.isEmpty() ? processParameters() : T;
}

QStringList SplitParameters(const QString &T)
{
    return GetParameters(T).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

QString SendParametersText(const QString &T)
{
    return BlanksAbschneiden(GetParameters(T));
}

bool WriteRegistrySettings(const QString &key, const TRegistrySettings &settings, TRegistryStore &store)
{
    if (settings.IsEmpty())
        return true;
    TRegistryStore::Sperre sperre(store);
    if (!sperre || !store.OpenKey(key, true))
        return false;
    QList<TRegistryStore::Wert> values;
    if (!settings.Parameters.isEmpty())
        values.append({programParameters, settings.Parameters});
    if (!settings.SetFocus.isEmpty())
        values.append({programSetFocus, settings.SetFocus});
    if (!settings.Close.isEmpty())
        values.append({programClose, settings.Close});
    // One write: a failure leaves no part of the request behind.
    const bool ok = store.WriteValues(values);
    store.CloseKey();
    return ok;
}

bool WriteRegistrySettings(const QString &key, const TRegistrySettings &settings)
{
    TRegistryStore store;
    return WriteRegistrySettings(key, settings, store);
}

bool ReadRegistrySettings(const QString &key, TRegistrySettings &settings, TRegistryStore &store)
{
    settings = TRegistrySettings();
    TRegistryStore::Sperre sperre(store);
    if (!sperre || !store.OpenKey(key, false))
        return false;
    bool found = false;
    bool ok = true;
    for (auto [name, field] : {std::pair{programParameters, &settings.Parameters},
                               std::pair{programSetFocus, &settings.SetFocus},
                               std::pair{programClose, &settings.Close}}) {
        if (!store.ValueExists(name))
            continue;
        found = true;
        *field = store.ReadString(name).value_or(QString());
        ok = store.DeleteValue(name) && ok;
    }
    const bool empty = !store.HasValues();
    store.CloseKey();
    if (empty)
        ok = store.DeleteKey(key) && ok;
    return found && ok;
}

bool ReadRegistrySettings(const QString &key, TRegistrySettings &settings)
{
    TRegistryStore store;
    return ReadRegistrySettings(key, settings, store);
}
