#include "platform/registrystore.h"

#include "support/savewhole.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr auto ownerOnlyDir = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr auto ownerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
const QString dwordPrefix = QStringLiteral("dword:");
const QString stringPrefix = QStringLiteral("sz:");

// "\Software\Zindara" -> "Software/Zindara"; empty for names that would leave the root.
QString normalisedKey(const QString &key)
{
    QStringList parts;
    for (const QString &part : QString(key).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'))) {
        if (part.isEmpty())
            continue;
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return QString();
        parts << part;
    }
    return parts.join(QLatin1Char('/'));
}

QString escaped(const QString &text, bool isName)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QChar(0))
            out += QLatin1String("\\0");
        else if (isName && (c == QLatin1Char('=') || (c == QLatin1Char(' ') && (i == 0 || i == text.size() - 1))
                            || (i == 0 && (c == QLatin1Char('[') || c == QLatin1Char(';') || c == QLatin1Char('#')))))
            out += QLatin1Char('\\') + c;
        else
            out += c;
    }
    return out;
}

QString unescaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            c = text.at(++i);
            if (c == QLatin1Char('n'))
                c = QLatin1Char('\n');
            else if (c == QLatin1Char('r'))
                c = QLatin1Char('\r');
            else if (c == QLatin1Char('0'))
                c = QChar(0);
        }
        out += c;
    }
    return out;
}

// Position of the first "=" that is not escaped, -1 when there is none.
qsizetype separatorIndex(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == QLatin1Char('\\'))
            ++i;
        else if (line.at(i) == QLatin1Char('='))
            return i;
    }
    return -1;
}

std::optional<qint32> dwordValue(const QString &raw)
{
    if (!raw.startsWith(dwordPrefix))
        return std::nullopt;
    const QString digits = raw.mid(dwordPrefix.size()).trimmed();
    bool ok = false;
    const uint value = digits.toUInt(&ok, 16);
    if (!ok || digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    return qint32(value);
}

std::optional<qint32> numberInText(const QString &text)
{
    QString t = text.trimmed();
    bool ok = false;
    qint32 value = 0;
    if (t.startsWith(QLatin1Char('$')) || t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        t = t.mid(t.startsWith(QLatin1Char('$')) ? 1 : 2);
        const uint u = t.toUInt(&ok, 16);
        value = qint32(u);
    } else {
        value = t.toInt(&ok, 10);
    }
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace

TRegistryStore::TRegistryStore() : TRegistryStore(defaultRoot()) {}

TRegistryStore::TRegistryStore(const QString &root) : fRoot(QDir::cleanPath(root)) {}

TRegistryStore::~TRegistryStore()
{
    if (fLock && fLockDepth > 0)
        fLock->unlock();
}

QString TRegistryStore::defaultRoot()
{
    const QString overridden = qEnvironmentVariable("ZINDARA_REGISTRY_DIR");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Zindara/registry");
}

TRegistryStore::Sperre::Sperre(TRegistryStore &store) : fStore(store), fOk(store.lock()) {}

TRegistryStore::Sperre::~Sperre()
{
    if (fOk)
        fStore.unlock();
}

bool TRegistryStore::ensureRoot()
{
    if (fRoot.isEmpty())
        return false;
    if (QFileInfo(fRoot).isDir())
        return true;
    if (!QDir().mkpath(fRoot))
        return false;
    QFile::setPermissions(fRoot, ownerOnlyDir);
    return true;
}

bool TRegistryStore::lock()
{
    if (fLockDepth > 0) {
        ++fLockDepth;
        return true;
    }
    if (!ensureRoot())
        return false;
    if (!fLock) {
        fLock = std::make_unique<QLockFile>(fRoot + QStringLiteral("/.lock"));
        // A lock older than this belongs to a copy that hangs; every holder needs milliseconds.
        fLock->setStaleLockTime(10000);
    }
    if (!fLock->tryLock(3000))
        return false;
    fLockDepth = 1;
    return true;
}

void TRegistryStore::unlock()
{
    if (fLockDepth > 0 && --fLockDepth == 0)
        fLock->unlock();
}

QString TRegistryStore::keyFile(const QString &key) const
{
    return fRoot + QLatin1Char('/') + key + QStringLiteral(".ini");
}

bool TRegistryStore::KeyExists(const QString &key)
{
    const QString k = normalisedKey(key);
    if (k.isEmpty())
        return false;
    return QFileInfo::exists(keyFile(k)) || QFileInfo(fRoot + QLatin1Char('/') + k).isDir();
}

bool TRegistryStore::OpenKey(const QString &key, bool canCreate)
{
    CloseKey();
    const QString k = normalisedKey(key);
    if (k.isEmpty())
        return false;
    Sperre sperre(*this);
    if (!sperre)
        return false;
    if (!KeyExists(k)) {
        if (!canCreate)
            return false;
        fKey = k;
        if (!save({})) {
            fKey.clear();
            return false;
        }
    }
    fKey = k;
    return true;
}

void TRegistryStore::CloseKey()
{
    fKey.clear();
}

bool TRegistryStore::DeleteKey(const QString &key)
{
    const QString k = normalisedKey(key);
    if (k.isEmpty())
        return false;
    Sperre sperre(*this);
    if (!sperre || !KeyExists(k))
        return false;
    const QString file = keyFile(k);
    if (QFileInfo::exists(file) && !QFile::remove(file))
        return false;
    QDir sub(fRoot + QLatin1Char('/') + k);
    if (sub.exists() && !sub.removeRecursively())
        return false;
    if (fKey == k)
        fKey.clear();
    return true;
}

std::optional<TRegistryStore::Entries> TRegistryStore::load()
{
    if (fKey.isEmpty())
        return std::nullopt;
    Entries entries;
    QFile file(keyFile(fKey));
    // A key deleted by another process reads as empty; a later write creates it again.
    if (!file.exists())
        return entries;
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = QString::fromUtf8(file.readAll());
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('[')) || line.startsWith(QLatin1Char(';'))
            || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = separatorIndex(line);
        if (eq < 0)
            continue;
        QString rawName = line.left(eq);
        // Blanks around "=" in hand-written lines; escaped blanks at the ends of names stay.
        while (rawName.startsWith(QLatin1Char(' ')))
            rawName.remove(0, 1);
        while (rawName.endsWith(QLatin1Char(' ')) && !rawName.endsWith(QLatin1String("\\ ")))
            rawName.chop(1);
        const QString name = unescaped(rawName);
        if (name.isEmpty())
            continue;
        QString rawValue = line.mid(eq + 1);
        // "name = value" as people write it; the program itself never puts a blank before "=".
        if (eq > 0 && line.at(eq - 1) == QLatin1Char(' ') && !line.left(eq).endsWith(QLatin1String("\\ "))) {
            while (rawValue.startsWith(QLatin1Char(' ')))
                rawValue.remove(0, 1);
        }
        putRaw(entries, name, unescaped(rawValue));
    }
    return entries;
}

bool TRegistryStore::save(const Entries &entries)
{
    if (fKey.isEmpty() || !ensureRoot())
        return false;
    const QString path = keyFile(fKey);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QByteArray bytes;
    for (const Entry &e : entries)
        bytes += (escaped(e.name, true) + QLatin1Char('=') + escaped(e.raw, false) + QLatin1Char('\n')).toUtf8();
    return GanzSpeichern(path, bytes, ownerOnlyFile);
}

bool TRegistryStore::ValueExists(const QString &name)
{
    return GetDataType(name) != ValueType::None;
}

std::optional<QString> TRegistryStore::rawValue(const QString &name)
{
    Sperre sperre(*this);
    if (!sperre)
        return std::nullopt;
    if (const auto entries = load()) {
        for (const Entry &e : *entries) {
            if (e.name == name)
                return e.raw;
        }
    }
    return std::nullopt;
}

TRegistryStore::ValueType TRegistryStore::GetDataType(const QString &name)
{
    const auto raw = rawValue(name);
    if (!raw)
        return ValueType::None;
    return dwordValue(*raw) ? ValueType::Integer : ValueType::String;
}

QStringList TRegistryStore::GetValueNames()
{
    QStringList names;
    Sperre sperre(*this);
    if (!sperre)
        return names;
    if (const auto entries = load()) {
        for (const Entry &e : *entries)
            names << e.name;
    }
    return names;
}

std::optional<QString> TRegistryStore::ReadString(const QString &name)
{
    const auto raw = rawValue(name);
    if (!raw)
        return std::nullopt;
    if (const auto number = dwordValue(*raw))
        return QString::number(*number);
    return raw->startsWith(stringPrefix) ? raw->mid(stringPrefix.size()) : *raw;
}

std::optional<qint32> TRegistryStore::ReadInteger(const QString &name)
{
    const auto raw = rawValue(name);
    if (!raw)
        return std::nullopt;
    if (const auto number = dwordValue(*raw))
        return number;
    return numberInText(raw->startsWith(stringPrefix) ? raw->mid(stringPrefix.size()) : *raw);
}

bool TRegistryStore::update(const std::function<bool(Entries &)> &change)
{
    Sperre sperre(*this);
    if (!sperre)
        return false;
    auto entries = load();
    return entries && change(*entries) && save(*entries);
}

void TRegistryStore::putRaw(Entries &entries, const QString &name, const QString &raw)
{
    bool found = false;
    for (Entry &e : entries) {
        if (e.name == name) {
            e.raw = raw;
            found = true;
        }
    }
    if (!found)
        entries.append({name, raw});
}

bool TRegistryStore::WriteString(const QString &name, const QString &value)
{
    return WriteValues({{name, value}});
}

bool TRegistryStore::WriteInteger(const QString &name, qint32 value)
{
    return WriteValues({{name, value}});
}

bool TRegistryStore::WriteValues(const QList<Wert> &values)
{
    for (const Wert &w : values) {
        if (w.name.isEmpty())
            return false;
    }
    return update([&](Entries &entries) {
        for (const Wert &w : values) {
            if (const auto *number = std::get_if<qint32>(&w.value)) {
                putRaw(entries, w.name,
                       dwordPrefix + QStringLiteral("%1").arg(quint32(*number), 8, 16, QLatin1Char('0')));
            } else {
                const QString &text = std::get<QString>(w.value);
                // Text that would read as a number or carries the marker keeps its type through the marker.
                const bool needsMarker = text.startsWith(dwordPrefix) || text.startsWith(stringPrefix);
                putRaw(entries, w.name, needsMarker ? stringPrefix + text : text);
            }
        }
        return true;
    });
}

bool TRegistryStore::DeleteValue(const QString &name)
{
    return update([&](Entries &entries) {
        return entries.removeIf([&](const Entry &e) { return e.name == name; }) > 0;
    });
}
