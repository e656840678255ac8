#include "settings/FileRegistryBackend.h"

#include "platform/FileSync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
bool usableKeyName(const QString& key)
{
    return !key.contains(u'\n') && !key.contains(u'\r');
}
} // namespace

FileRegistryBackend::FileRegistryBackend(const QString& filePath) : m_path(filePath) {}

FileRegistryBackend::~FileRegistryBackend()
{
    if (m_dirty)
        store();
}

bool FileRegistryBackend::openKey(const QString& key)
{
    return contents().hasKey(key);
}

bool FileRegistryBackend::createKey(const QString& key)
{
    if (!usableKeyName(key))
        return false;
    if (contents().hasKey(key))
        return true;
    m_contents.addKey(key);
    return changed();
}

std::optional<QString> FileRegistryBackend::readText(const QString& key, const QString& name)
{
    if (const RegistryFile::Value* value = find(key, name, RegistryFile::Type::Text))
        return value->text;
    return std::nullopt;
}

std::optional<quint32> FileRegistryBackend::readNumber(const QString& key, const QString& name)
{
    if (const RegistryFile::Value* value = find(key, name, RegistryFile::Type::Number))
        return value->number;
    return std::nullopt;
}

std::optional<QByteArray> FileRegistryBackend::readBinary(const QString& key, const QString& name)
{
    if (const RegistryFile::Value* value = find(key, name, RegistryFile::Type::Binary))
        return value->binary;
    return std::nullopt;
}

bool FileRegistryBackend::writeText(const QString& key, const QString& name, const QString& value)
{
    return write(key, name, RegistryFile::Value::fromText(value));
}

bool FileRegistryBackend::writeNumber(const QString& key, const QString& name, quint32 value)
{
    return write(key, name, RegistryFile::Value::fromNumber(value));
}

bool FileRegistryBackend::writeBinary(const QString& key, const QString& name, const QByteArray& value)
{
    return write(key, name, RegistryFile::Value::fromBinary(value));
}

bool FileRegistryBackend::deleteValue(const QString& key, const QString& name)
{
    contents();
    return m_contents.removeValue(key, name) && changed();
}

void FileRegistryBackend::beginBatch()
{
    ++m_batchDepth;
}

void FileRegistryBackend::endBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return;
    if (m_dirty)
        store();
    m_dirty = false;
    m_loaded = false;
}

bool FileRegistryBackend::replaceFile(QSaveFile& file)
{
    return file.commit();
}

const RegistryFile& FileRegistryBackend::contents()
{
    if (!m_loaded) {
        m_contents = load();
        m_loaded = m_batchDepth > 0;
    }
    return m_contents;
}

const RegistryFile::Value* FileRegistryBackend::find(const QString& key, const QString& name, RegistryFile::Type type)
{
    const RegistryFile::Value* value = contents().value(key, name);
    return value && value->type == type ? value : nullptr;
}

bool FileRegistryBackend::write(const QString& key, const QString& name, const RegistryFile::Value& value)
{
    contents();
    return m_contents.setValue(key, name, value) && changed();
}

// Outside a batch a change reaches the file at once; inside one it waits for endBatch().
bool FileRegistryBackend::changed()
{
    if (m_batchDepth > 0) {
        m_dirty = true;
        return true;
    }
    return store();
}

RegistryFile FileRegistryBackend::load() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        RegistryFile nothing;
        nothing.setDamaged(file.exists()); // there, but not readable
        return nothing;
    }
    const QByteArray bytes = file.read(maxFileSize + 1);
    if (bytes.size() <= maxFileSize && file.error() == QFileDevice::NoError)
        return RegistryFile::parse(bytes);
    // Only whole lines of what could be read count: a cut line could read as another value.
    RegistryFile beginning = RegistryFile::parse(bytes.left(bytes.lastIndexOf('\n') + 1));
    beginning.setDamaged();
    return beginning;
}

bool FileRegistryBackend::store()
{
    if (m_path.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (m_contents.isDamaged())
        keepDamagedCopy();
    if (!WriteWholeFile(m_path, m_contents.format(), [this](QSaveFile& file) { return replaceFile(file); }))
        return false;
    // The new file takes over the old one's permissions; one the user could not read helps nobody.
    const QFileDevice::Permissions permissions = QFile::permissions(m_path);
    if (!(permissions & QFileDevice::ReadOwner))
        QFile::setPermissions(m_path, permissions | QFileDevice::ReadOwner);
    m_contents.setDamaged(false);
    return true;
}

// The user may want back what a damaged file held beyond the lines that could be read.
void FileRegistryBackend::keepDamagedCopy() const
{
    const QString copy = m_path + QStringLiteral(".damaged");
    QFile::remove(copy);
    QFile::copy(m_path, copy);
}
