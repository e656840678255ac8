#pragma once

#include <QString>
#include <functional>

class QWidget;

// The folder picker of the recording folder: the desktop's folder dialog owned by the given
// window, titled "Select recording folder", offering local folders only. It opens in
// startFolder when that folder exists, otherwise in the user's home. Returns the chosen
// folder, or an empty text when the user cancels.
QString SelectFolder(QWidget* owner, const QString& startFolder = {});

// Answers SelectFolder in place of the dialog for as long as it lives, so tests can play the
// user of the picker. Overrides do not nest.
class FolderPickerOverride {
public:
    using Picker = std::function<QString(QWidget* owner, const QString& title)>;

    explicit FolderPickerOverride(Picker picker);
    ~FolderPickerOverride();

    FolderPickerOverride(const FolderPickerOverride&) = delete;
    FolderPickerOverride& operator=(const FolderPickerOverride&) = delete;
};
