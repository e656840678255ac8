#pragma once

#include "platform/Shell.h"

#include <QObject>

// The desktop's own services: the default browser and file manager, and the user's trash.
class DesktopShell : public QObject, public Shell {
    Q_OBJECT

public:
    explicit DesktopShell(QObject* parent = nullptr);

    void openUrl(const QString& url) override;
    void openFolder(const QString& folder) override;
    // Asks the file manager to show the file selected; without one, opens its folder.
    void showInFolder(const QString& file) override;
    bool moveToTrash(const QString& file) override;
};
