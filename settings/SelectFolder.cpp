#include "settings/SelectFolder.h"

#include <QDir>
#include <QFileDialog>

namespace {
FolderPickerOverride::Picker picker;
}

QString SelectFolder(QWidget* owner, const QString& startFolder)
{
    const QString title = QStringLiteral("Select recording folder");
    if (picker)
        return picker(owner, title);
    const QString start = !startFolder.isEmpty() && QDir(startFolder).exists() ? startFolder : QDir::homePath();
    return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
}

FolderPickerOverride::FolderPickerOverride(Picker answer)
{
    picker = std::move(answer);
}

FolderPickerOverride::~FolderPickerOverride()
{
    picker = nullptr;
}
