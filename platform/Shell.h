#pragma once

#include <QString>

// The desktop services the program asks for: web pages, folders, the file manager and the
// trash. The user interface installs the desktop implementation; tests install their own.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void openUrl(const QString& url) = 0;
    virtual void openFolder(const QString& folder) = 0;
    // Shows the file selected in the file manager, or at least its folder.
    virtual void showInFolder(const QString& file) = 0;
    // Moves the file to the user's trash; false when it could not be moved.
    virtual bool moveToTrash(const QString& file) = 0;

    // The installed shell; without one, a shell that does nothing (and trashes nothing).
    static Shell& instance();
    static void install(Shell* shell); // not owned; nullptr removes it
};
