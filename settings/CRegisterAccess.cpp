#include "settings/CRegisterAccess.h"

CRegisterAccess::CRegisterAccess() : CRegisterAccess(RegistryBackend::createDefault()) {}

CRegisterAccess::CRegisterAccess(std::unique_ptr<RegistryBackend> backend)
    : m_backend(std::move(backend)), m_basePath(QStringLiteral("software\\Marrowick\\"))
{
}

CRegisterAccess::~CRegisterAccess() = default;

template <typename T, typename Read, typename Write>
T CRegisterAccess::readOrWriteDefault(const QString& key, const T& defaultValue, Read read, Write write)
{
    if (m_backend->openKey(key)) {
        if (const std::optional<T> value = read())
            return *value;
    }
    write(defaultValue);
    return defaultValue;
}

QString CRegisterAccess::readText(const QString& key, const QString& name, const QString& defaultValue)
{
    return readOrWriteDefault(
        key, defaultValue, [&] { return m_backend->readText(key, name); },
        [&](const QString& value) { writeText(key, name, value); });
}

qint32 CRegisterAccess::readNumber(const QString& key, const QString& name, qint32 defaultValue)
{
    return readOrWriteDefault(
        key, defaultValue,
        [&]() -> std::optional<qint32> {
            if (const std::optional<quint32> number = m_backend->readNumber(key, name))
                return qint32(*number);
            return std::nullopt;
        },
        [&](qint32 value) { writeNumber(key, name, value); });
}

bool CRegisterAccess::readFlag(const QString& key, const QString& name, bool defaultValue)
{
    return readOrWriteDefault(
        key, defaultValue,
        [&]() -> std::optional<bool> {
            const std::optional<QByteArray> bytes = m_backend->readBinary(key, name);
            if (bytes && bytes->size() == 1)
                return bytes->at(0) != 0;
            return std::nullopt;
        },
        [&](bool value) { writeFlag(key, name, value); });
}

bool CRegisterAccess::writeText(const QString& key, const QString& name, const QString& value)
{
    return openOrCreateKey(key) && m_backend->writeText(key, name, value);
}

bool CRegisterAccess::writeNumber(const QString& key, const QString& name, qint32 value)
{
    return openOrCreateKey(key) && m_backend->writeNumber(key, name, quint32(value));
}

bool CRegisterAccess::writeFlag(const QString& key, const QString& name, bool value)
{
    return openOrCreateKey(key) && m_backend->writeBinary(key, name, QByteArray(1, value ? 1 : 0));
}

bool CRegisterAccess::openOrCreateKey(const QString& key)
{
    return m_backend->openKey(key) || m_backend->createKey(key);
}

CRegisterAccess::Batch::Batch(CRegisterAccess& access) : m_backend(*access.m_backend)
{
    m_backend.beginBatch();
}

CRegisterAccess::Batch::~Batch()
{
    m_backend.endBatch();
}
