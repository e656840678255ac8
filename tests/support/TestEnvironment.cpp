#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>

namespace {
const char* const variables[5] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"};
}

TestEnvironment::TestEnvironment()
{
    for (int i = 0; i < 5; ++i)
        m_saved[i] = qgetenv(variables[i]);
    if (!m_dir.isValid())
        return;
    const QString home = m_dir.path();
    const QString runtime = home + QStringLiteral("/run");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
}

TestEnvironment::~TestEnvironment()
{
    for (int i = 0; i < 5; ++i) {
        if (m_saved[i].isNull())
            qunsetenv(variables[i]);
        else
            qputenv(variables[i], m_saved[i]);
    }
}
