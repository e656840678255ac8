#pragma once

#include "skype/CallSlot.h"

#include <QString>

#include <array>
#include <functional>

// The calls Skype reports, in 20 slots searched in index order. The main window reads it to
// decide when to record and whom a recording is with. Slots are taken as calls appear and
// freed only all together, by ClearCalls, once no call is active any more.
//
// Written on the user-interface thread only. AnyCallInProgress() may be asked from any thread.
class CallTable {
public:
    static constexpr int SlotCount = 20;

    // How the table queues the partner query of a new call.
    using PushCommand = std::function<bool(const QString&)>;

    struct ActiveCall {
        QString callId; // empty when there is none
        QString partner;
    };

    explicit CallTable(PushCommand push);

    CallTable(const CallTable&) = delete;
    CallTable& operator=(const CallTable&) = delete;

    // The slot of the call (id compared after removing white space at both ends, case
    // matters), or -1.
    int FindCall(const QString& callId) const;
    // As FindCall; an unknown call takes the first free slot, stamped with the current time,
    // and its partner is asked for. -1 when the id is blank or every slot is taken.
    int FindOrAddCall(const QString& callId);
    // Records a status: always for a known call; a new call gets a slot only with a status
    // that can start a call (routing, early media, ringing, in progress, held). The slot or -1.
    int UpdateCallStatus(const QString& callId, int status);
    // Stores the partner of the call, taking a slot for an unknown call. The slot or -1.
    int SetCallPartner(const QString& callId, const QString& handle);

    // The partner of the call whose id is exactly callId (no white space removed); empty when
    // there is none.
    QString PartnerOf(const QString& callId) const;
    QString CallIdAt(int index) const;
    int StatusAt(int index) const;
    qint64 FirstSeenAt(int index) const;

    // A call in progress or on hold.
    bool AnyCallActive() const;
    // A call in progress (a held one does not count). Safe from any thread.
    bool AnyCallInProgress() const;
    // Calls whose status is known.
    int KnownCallCount() const;
    // Whether the handle is some call's partner (case ignored).
    bool IsCallPartner(const QString& handle) const;
    // The active call seen first (seen no later than now); of calls seen in the same second,
    // the one in the higher slot. The call a new recording belongs to.
    ActiveCall EarliestActiveCall() const;

    void ClearCalls();

private:
    bool isValidIndex(int index) const { return index >= 0 && index < SlotCount; }

    PushCommand m_push;
    std::array<CallSlot, SlotCount> m_slots;
};
