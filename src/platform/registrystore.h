#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

// The current user's registry: keys holding named string and 32-bit integer values.
// Each key is one small text file "<root>/<key path>.ini" with lines name=value; integers are
// stored as "dword:" and eight hexadecimal digits, as .reg files write them. All processes of
// the user share one lock file in the root, so a read-modify-write never interleaves with
// another one. Folders and files are readable by their owner only.
//
// The root is $ZINDARA_REGISTRY_DIR when set (tests use a temporary folder), else
// "Zindara/registry" in the user's configuration folder.
class TRegistryStore {
public:
    enum class ValueType { None, String, Integer };

    TRegistryStore();
    explicit TRegistryStore(const QString &root);
    ~TRegistryStore();

    static QString defaultRoot();
    QString root() const { return fRoot; }

    // Holds the store's lock for the lifetime of the guard; nests within one store object.
    class Sperre {
    public:
        explicit Sperre(TRegistryStore &store);
        ~Sperre();
        Sperre(const Sperre &) = delete;
        Sperre &operator=(const Sperre &) = delete;
        explicit operator bool() const { return fOk; }

    private:
        TRegistryStore &fStore;
        bool fOk;
    };

    // Keys are written like "\Software\Zindara" or "Software/Zindara".
    bool OpenKey(const QString &key, bool canCreate);
    void CloseKey();
    bool KeyExists(const QString &key);
    bool DeleteKey(const QString &key);
    QString CurrentKey() const { return fKey; }

    // Value operations act on the open key and fail when none is open.
    bool ValueExists(const QString &name);
    ValueType GetDataType(const QString &name);
    QStringList GetValueNames();
    bool HasValues() { return !GetValueNames().isEmpty(); }
    // A number stored where text is read gives its decimal text; text where a number is read
    // gives its number when it holds one (decimal, or hexadecimal after "0x" or "$").
    std::optional<QString> ReadString(const QString &name);
    std::optional<qint32> ReadInteger(const QString &name);
    bool WriteString(const QString &name, const QString &value);
    bool WriteInteger(const QString &name, qint32 value);
    struct Wert {
        QString name;
        std::variant<QString, qint32> value;
    };
    // Writes all values in one step: either every one is stored or none is.
    bool WriteValues(const QList<Wert> &values);
    bool DeleteValue(const QString &name);

private:
    struct Entry {
        QString name;
        QString raw;
    };
    using Entries = QList<Entry>;

    bool lock();
    void unlock();
    bool ensureRoot();
    QString keyFile(const QString &key) const;
    std::optional<Entries> load();
    bool save(const Entries &entries);
    std::optional<QString> rawValue(const QString &name);
    bool update(const std::function<bool(Entries &)> &change);
    static void putRaw(Entries &entries, const QString &name, const QString &raw);

    QString fRoot;
    QString fKey;
    std::unique_ptr<QLockFile> fLock;
    int fLockDepth = 0;
};
