#pragma once

#include <QString>

#include <atomic>

// One call Skype reported. A slot whose call id is empty is free.
//
// The status is also read by the audio receiving threads (to learn whether a call is in
// progress), so it is atomic; everything else belongs to the user-interface thread.
struct CallSlot {
    QString callId;
    QString partner;            // empty until Skype names the partner
    std::atomic<int> status{0}; // CallStatusCode; 0 while unknown
    qint64 firstSeen = 0;       // seconds since 1970 when the slot was taken; 0 when free
};
