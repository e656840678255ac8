#include "skype/CallPartnerMap.h"

#include <QStringList>

void CallPartnerMap::RememberPartner(const QString& callId, const QString& handle)
{
    const std::size_t index = indexOf(callId);
    if (index < m_entries.size())
        m_entries[index].handle = handle;
    else
        m_entries.push_back({callId, handle});
}

QString CallPartnerMap::PartnerForCall(const QString& callId) const
{
    const std::size_t index = indexOf(callId);
    return index < m_entries.size() ? m_entries[index].handle : callId;
}

QString CallPartnerMap::PartnersForCalls(const QString& callIds) const
{
    QStringList partners;
    const QStringList ids = callIds.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& id : ids)
        partners.append(PartnerForCall(id));
    return partners.join(QLatin1Char(','));
}

std::size_t CallPartnerMap::indexOf(const QString& callId) const
{
    std::size_t index = 0;
    while (index < m_entries.size() && m_entries[index].callId.compare(callId, Qt::CaseInsensitive) != 0)
        ++index;
    return index;
}
