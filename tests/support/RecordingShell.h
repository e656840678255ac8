#pragma once

#include "platform/Shell.h"

#include <QStringList>
#include <mutex>

// Records what the program asks the desktop to do. moveToTrash really moves the file into a
// trash folder of the test's choosing, so tests can check that nothing was lost.
// Installs itself for its lifetime.
class RecordingShell : public Shell {
public:
    explicit RecordingShell(const QString& trashFolder = {});
    ~RecordingShell() override;

    void openUrl(const QString& url) override;
    void openFolder(const QString& folder) override;
    void showInFolder(const QString& file) override;
    bool moveToTrash(const QString& file) override;

    QStringList openedUrls() const;
    QStringList openedFolders() const;
    QStringList shownFiles() const;
    QStringList trashedFiles() const;

private:
    mutable std::mutex m_mutex;
    QString m_trashFolder;
    QStringList m_urls, m_folders, m_shown, m_trashed;
};
