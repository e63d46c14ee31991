#pragma once

#include <QString>
#include <QStringList>

class TRegistryStore;

// One request in the mailbox key; a field counts as set when it is not empty.
struct TRegistrySettings {
    QString Parameters;
    QString SetFocus;
    QString Close;

    void SetData(const QString &AParameters, const QString &ASetFocus, const QString &AClose);
    bool IsEmpty() const { return Parameters.isEmpty() && SetFocus.isEmpty() && Close.isEmpty(); }
};

// `Parameters` := AParameters, or this process's joined command line when that is empty.
TRegistrySettings rsParameters(const QString &AParameters = QString());
TRegistrySettings rsSetFocus(const QString &ASetFocus = QString());
TRegistrySettings rsClose(const QString &AClose = QString());

// Arguments (without the program name) trimmed, empty ones left out, each kept one followed
// by "|" unless it is the last argument.
QString ParameterVerbinden(const QStringList &arguments);
// T when not empty, else the joined command line of this process.
QString GetParameters(const QString &T);
// The runs of characters other than "|" in GetParameters(T).
QStringList SplitParameters(const QString &T);
// The text SendParameters hands over for T: GetParameters(T) without the blanks (every
// character up to the space) at its ends; nothing is sent when it is empty.
QString SendParametersText(const QString &T);

// Writes the set values into the key below the store's root; true on success, also when
// nothing is set (then nothing is written).
bool WriteRegistrySettings(const QString &key, const TRegistrySettings &settings, TRegistryStore &store);
bool WriteRegistrySettings(const QString &key, const TRegistrySettings &settings);
// Reads and deletes the three values, and the key once it is empty. True when at least one
// value was there.
bool ReadRegistrySettings(const QString &key, TRegistrySettings &settings, TRegistryStore &store);
bool ReadRegistrySettings(const QString &key, TRegistrySettings &settings);
