#include "skype/ContactDirectory.h"

#include <QStringList>

namespace {
// A copy with its own characters: nothing the directory holds is shared with its callers, who
// may be on other threads.
QString ownCopy(const QString& text)
{
    return QString(text.constData(), text.size());
}
} // namespace

void ContactDirectory::AddContact(const QString& handle)
{
    std::lock_guard lock(m_mutex);
    if (indexOf(handle) == m_entries.size())
        m_entries.push_back({ownCopy(handle), QString()});
}

QString ContactDirectory::FullNameOf(const QString& handle) const
{
    std::lock_guard lock(m_mutex);
    return ownCopy(fullNameOfLocked(handle));
}

int ContactDirectory::SetFullName(const QString& handle, const QString& name)
{
    std::lock_guard lock(m_mutex);
    const std::size_t index = indexOf(handle);
    if (index == m_entries.size()) {
        m_entries.push_back({ownCopy(handle), ownCopy(name)});
        return -1;
    }
    m_entries[index].fullName = ownCopy(name);
    return static_cast<int>(index);
}

bool ContactDirectory::RemoveContact(const QString& handle)
{
    std::lock_guard lock(m_mutex);
    const std::size_t index = indexOf(handle);
    if (index == m_entries.size())
        return false;
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

QString ContactDirectory::DisplayNamesFor(const QString& handles) const
{
    std::lock_guard lock(m_mutex);
    QStringList names;
    const QStringList list = handles.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& handle : list) {
        const QString name = fullNameOfLocked(handle);
        names.append(name.isEmpty() ? handle : name);
    }
    return names.join(QStringLiteral(" | "));
}

int ContactDirectory::size() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_entries.size());
}

std::size_t ContactDirectory::indexOf(const QString& handle) const
{
    std::size_t index = 0;
    while (index < m_entries.size() && m_entries[index].handle != handle)
        ++index;
    return index;
}

QString ContactDirectory::fullNameOfLocked(const QString& handle) const
{
    const std::size_t index = indexOf(handle);
    return index < m_entries.size() ? m_entries[index].fullName : QString();
}
