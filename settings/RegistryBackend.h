#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

// Where the program's registry lives: keys named by their path below the current user's root
// (for example "software\Marrowick\config"), each holding named values of three types: texts,
// 32-bit numbers and binary data. A read gives nothing when the key or the value is missing,
// cannot be read, or holds another type. Key and value names are matched without regard to
// case, as in the registry.
class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;

    // True when the key exists and can be used.
    virtual bool openKey(const QString& key) = 0;
    // Creates the key (an existing key is kept with its values); false when that fails.
    virtual bool createKey(const QString& key) = 0;

    // Texts are returned whole, however long they are.
    virtual std::optional<QString> readText(const QString& key, const QString& name) = 0;
    virtual std::optional<quint32> readNumber(const QString& key, const QString& name) = 0;
    virtual std::optional<QByteArray> readBinary(const QString& key, const QString& name) = 0;

    // Writes replace a value of any type; they fail when the key does not exist.
    virtual bool writeText(const QString& key, const QString& name, const QString& value) = 0;
    virtual bool writeNumber(const QString& key, const QString& name, quint32 value) = 0;
    virtual bool writeBinary(const QString& key, const QString& name, const QByteArray& value) = 0;
    virtual bool deleteValue(const QString& key, const QString& name) = 0;

    // The operations between beginBatch() and endBatch() may share one reading of the store and
    // reach it together at endBatch(), so loading or saving a whole profile touches the disk once.
    // Batches nest. A backend whose writes cost little may ignore both.
    virtual void beginBatch() {}
    virtual void endBatch() {}

    // The backend of this platform, on the current user's own store.
    static std::unique_ptr<RegistryBackend> createDefault();
};
