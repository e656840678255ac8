#include "settings/AutostartEntry.h"

#include "platform/FileSync.h"
#include "platform/ProductName.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

// The entry is an XDG autostart file, ~/.config/autostart/Marrowick.desktop.

namespace {

// The program path as one quoted argument of a desktop entry's Exec key: the argument's own
// quoting and field-code rules first, then the escapes of a desktop entry string on top.
QString execValue(const QString& program)
{
    QString argument = QStringLiteral("\"");
    for (QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            argument += u'\\';
        argument += c;
        if (c == u'%')
            argument += u'%';
    }
    argument += u'"';

    QString value;
    for (QChar c : argument) {
        if (c == u'\\')
            value += QStringLiteral("\\\\");
        else if (c == u'\n')
            value += QStringLiteral("\\n");
        else if (c == u'\r')
            value += QStringLiteral("\\r");
        else if (c == u'\t')
            value += QStringLiteral("\\t");
        else
            value += c;
    }
    return value;
}

QByteArray desktopEntry(const QString& program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Exec=%2\n")
        .arg(productName(), execValue(program))
        .toUtf8();
}

} // namespace

AutostartEntry::AutostartEntry(const QString& programPath) : m_program(programPath)
{
    if (m_program.isEmpty() && QCoreApplication::instance())
        m_program = QCoreApplication::applicationFilePath();
}

QString AutostartEntry::location() const
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        return {};
    return config + QStringLiteral("/autostart/Marrowick.desktop");
}

bool AutostartEntry::exists() const
{
    const QFileInfo entry(location());
    return entry.exists() || entry.isSymLink();
}

void AutostartEntry::apply(bool autostart) const
{
    const QString path = location();
    if (path.isEmpty())
        return;
    if (!autostart) {
        QFile::remove(path);
        return;
    }
    if (exists() || m_program.isEmpty())
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    WriteWholeFile(path, desktopEntry(m_program));
}
