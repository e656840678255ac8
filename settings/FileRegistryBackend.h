#pragma once

#include "settings/RegistryBackend.h"
#include "settings/RegistryFile.h"

class QSaveFile;

// The registry kept in one file (format in RegistryFile.h). Every operation reads the file
// afresh, every write replaces it whole: the new contents go to a temporary file in the same
// folder, are flushed to the disk, and only then take the file's place by a rename, so the
// file is always either the old one or the new one. A file that cannot be read, or lines that
// cannot be understood, never stop the program: what can be read is used, and the next write
// leaves a sound file, after keeping a copy of the damaged one beside it (path + ".damaged").
class FileRegistryBackend : public RegistryBackend {
public:
    explicit FileRegistryBackend(const QString& filePath);
    ~FileRegistryBackend() override;

    QString filePath() const { return m_path; }

    bool openKey(const QString& key) override;
    bool createKey(const QString& key) override;
    std::optional<QString> readText(const QString& key, const QString& name) override;
    std::optional<quint32> readNumber(const QString& key, const QString& name) override;
    std::optional<QByteArray> readBinary(const QString& key, const QString& name) override;
    bool writeText(const QString& key, const QString& name, const QString& value) override;
    bool writeNumber(const QString& key, const QString& name, quint32 value) override;
    bool writeBinary(const QString& key, const QString& name, const QByteArray& value) override;
    bool deleteValue(const QString& key, const QString& name) override;
    void beginBatch() override;
    void endBatch() override;

    // A file larger than this is not a settings file any more: only its beginning is read.
    static constexpr qint64 maxFileSize = 1024 * 1024;

protected:
    // The last step of a write: the temporary file takes the settings file's place.
    virtual bool replaceFile(QSaveFile& file);

private:
    const RegistryFile& contents();
    const RegistryFile::Value* find(const QString& key, const QString& name, RegistryFile::Type type);
    bool write(const QString& key, const QString& name, const RegistryFile::Value& value);
    bool changed();
    RegistryFile load() const;
    bool store();
    void keepDamagedCopy() const;

    QString m_path;
    RegistryFile m_contents;
    int m_batchDepth = 0;
    bool m_loaded = false; // m_contents holds this batch's reading of the file
    bool m_dirty = false;  // the batch changed m_contents
};
