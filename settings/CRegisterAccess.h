#pragma once

#include "settings/RegistryBackend.h"

#include <QString>
#include <memory>

// Reads and writes the program's values in the current user's registry. Keys are paths below
// the user's root, normally basePath() followed by a name. Every operation stands alone and
// nothing is ever shown to the user: a read that fails writes the default it was given
// (creating the key when needed) and returns it, a write that fails returns false. Flags are stored as 1-byte
// binary values holding 0 or 1, numbers as 32-bit values, texts as strings; a value of another
// type counts as one that cannot be read.
class CRegisterAccess {
public:
    // On this platform's registry.
    CRegisterAccess();
    explicit CRegisterAccess(std::unique_ptr<RegistryBackend> backend);
    virtual ~CRegisterAccess();

    CRegisterAccess(const CRegisterAccess&) = delete;
    CRegisterAccess& operator=(const CRegisterAccess&) = delete;

    // "software\Marrowick\"
    const QString& basePath() const { return m_basePath; }

    // Texts are read back whole, however long they are.
    QString readText(const QString& key, const QString& name, const QString& defaultValue);
    qint32 readNumber(const QString& key, const QString& name, qint32 defaultValue);
    // Any non-zero byte reads as set.
    bool readFlag(const QString& key, const QString& name, bool defaultValue);

    bool writeText(const QString& key, const QString& name, const QString& value);
    bool writeNumber(const QString& key, const QString& name, qint32 value);
    bool writeFlag(const QString& key, const QString& name, bool value);

protected:
    // Keeps the operations of its lifetime together, so a whole profile reaches the store at once.
    class Batch {
    public:
        explicit Batch(CRegisterAccess& access);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        RegistryBackend& m_backend;
    };

private:
    bool openOrCreateKey(const QString& key);

    template <typename T, typename Read, typename Write>
    T readOrWriteDefault(const QString& key, const T& defaultValue, Read read, Write write);

    std::unique_ptr<RegistryBackend> m_backend;
    QString m_basePath;
};
