#include "skype/CallTable.h"

#include "platform/Clock.h"
#include "skype/SkypeCommands.h"
#include "skype/StatusCodes.h"

namespace {
// Statuses with which a call not seen before enters the table; a call first reported with a
// final status is never tracked.
bool startsTracking(int status)
{
    return status == CallRouting || status == CallEarlyMedia || status == CallRinging || status == CallInProgress ||
           status == CallOnHold;
}
} // namespace

CallTable::CallTable(PushCommand push) : m_push(std::move(push)) {}

int CallTable::FindCall(const QString& callId) const
{
    const QString id = callId.trimmed();
    if (id.isEmpty())
        return -1;
    for (int index = 0; index < SlotCount; ++index) {
        if (m_slots[index].callId == id)
            return index;
    }
    return -1;
}

int CallTable::FindOrAddCall(const QString& callId)
{
    const int found = FindCall(callId);
    if (found >= 0)
        return found;
    const QString id = callId.trimmed();
    if (id.isEmpty())
        return -1;
    for (int index = 0; index < SlotCount; ++index) {
        CallSlot& slot = m_slots[index];
        if (!slot.callId.isEmpty())
            continue;
        slot.callId = id;
        slot.partner.clear();
        slot.firstSeen = Clock::instance().nowSeconds();
        m_push(SkypeCommands::callPartnerQuery(id));
        return index;
    }
    return -1;
}

int CallTable::UpdateCallStatus(const QString& callId, int status)
{
    int index = FindCall(callId);
    if (index < 0) {
        if (!startsTracking(status))
            return -1;
        index = FindOrAddCall(callId);
        if (index < 0)
            return -1;
    }
    m_slots[index].status.store(status);
    return index;
}

int CallTable::SetCallPartner(const QString& callId, const QString& handle)
{
    const int index = FindOrAddCall(callId);
    if (index >= 0)
        m_slots[index].partner = handle;
    return index;
}

QString CallTable::PartnerOf(const QString& callId) const
{
    if (callId.isEmpty())
        return {};
    for (const CallSlot& slot : m_slots) {
        if (slot.callId == callId)
            return slot.partner;
    }
    return {};
}

QString CallTable::CallIdAt(int index) const
{
    return isValidIndex(index) ? m_slots[index].callId : QString();
}

int CallTable::StatusAt(int index) const
{
    return isValidIndex(index) ? m_slots[index].status.load() : 0;
}

qint64 CallTable::FirstSeenAt(int index) const
{
    return isValidIndex(index) ? m_slots[index].firstSeen : 0;
}

bool CallTable::AnyCallActive() const
{
    for (const CallSlot& slot : m_slots) {
        if (!slot.callId.isEmpty() && isActiveCallStatus(slot.status.load()))
            return true;
    }
    return false;
}

// Only slots holding a call ever get a status other than 0, so the statuses alone tell.
bool CallTable::AnyCallInProgress() const
{
    for (const CallSlot& slot : m_slots) {
        if (slot.status.load() == CallInProgress)
            return true;
    }
    return false;
}

int CallTable::KnownCallCount() const
{
    int count = 0;
    for (const CallSlot& slot : m_slots) {
        if (!slot.callId.isEmpty() && slot.status.load() != 0)
            ++count;
    }
    return count;
}

bool CallTable::IsCallPartner(const QString& handle) const
{
    for (const CallSlot& slot : m_slots) {
        if (!slot.partner.isEmpty() && slot.partner.compare(handle, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

CallTable::ActiveCall CallTable::EarliestActiveCall() const
{
    ActiveCall earliest;
    qint64 bound = Clock::instance().nowSeconds();
    for (const CallSlot& slot : m_slots) {
        if (slot.callId.isEmpty() || !isActiveCallStatus(slot.status.load()) || slot.firstSeen > bound)
            continue;
        earliest = {slot.callId, slot.partner};
        bound = slot.firstSeen;
    }
    return earliest;
}

void CallTable::ClearCalls()
{
    for (CallSlot& slot : m_slots) {
        slot.callId.clear();
        slot.partner.clear();
        slot.status.store(0);
        slot.firstSeen = 0;
    }
}
