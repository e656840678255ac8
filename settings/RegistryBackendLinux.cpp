#include "settings/FileRegistryBackend.h"
#include "settings/RegistryBackend.h"

#include <QStandardPaths>

// The user's registry is a file in the user's configuration folder (~/.config/Marrowick/).
std::unique_ptr<RegistryBackend> RegistryBackend::createDefault()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        return std::make_unique<FileRegistryBackend>(QString());
    return std::make_unique<FileRegistryBackend>(config + QStringLiteral("/Marrowick/settings.reg"));
}
