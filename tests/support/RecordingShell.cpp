#include "support/RecordingShell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

RecordingShell::RecordingShell(const QString& trashFolder) : m_trashFolder(trashFolder)
{
    Shell::install(this);
}

RecordingShell::~RecordingShell()
{
    Shell::install(nullptr);
}

void RecordingShell::openUrl(const QString& url)
{
    std::lock_guard lock(m_mutex);
    m_urls.append(url);
}

void RecordingShell::openFolder(const QString& folder)
{
    std::lock_guard lock(m_mutex);
    m_folders.append(folder);
}

void RecordingShell::showInFolder(const QString& file)
{
    std::lock_guard lock(m_mutex);
    m_shown.append(file);
}

bool RecordingShell::moveToTrash(const QString& file)
{
    std::lock_guard lock(m_mutex);
    m_trashed.append(file);
    if (m_trashFolder.isEmpty() || !QFileInfo::exists(file))
        return false;
    QDir().mkpath(m_trashFolder);
    return QFile::rename(file, m_trashFolder + QLatin1Char('/') + QFileInfo(file).fileName());
}

QStringList RecordingShell::openedUrls() const
{
    std::lock_guard lock(m_mutex);
    return m_urls;
}

QStringList RecordingShell::openedFolders() const
{
    std::lock_guard lock(m_mutex);
    return m_folders;
}

QStringList RecordingShell::shownFiles() const
{
    std::lock_guard lock(m_mutex);
    return m_shown;
}

QStringList RecordingShell::trashedFiles() const
{
    std::lock_guard lock(m_mutex);
    return m_trashed;
}
