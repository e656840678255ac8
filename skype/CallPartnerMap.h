#pragma once

#include <QString>

#include <vector>

// Which partner belonged to which call, for the whole run, so that a finished recording can
// name the partners of every call it covered. Call ids are compared ignoring case. Used on the
// user-interface thread only.
class CallPartnerMap {
public:
    // Replaces the partner of a known call (its id keeps the case it was first stored with),
    // otherwise adds the call.
    void RememberPartner(const QString& callId, const QString& handle);
    // The partner of the call; the call id itself when no partner is known.
    QString PartnerForCall(const QString& callId) const;
    // A comma-separated list of call ids mapped to their partners, joined with "," in the
    // same order; empty pieces are skipped.
    QString PartnersForCalls(const QString& callIds) const;

    int size() const { return static_cast<int>(m_entries.size()); }

private:
    struct Entry {
        QString callId;
        QString handle;
    };

    // The entry of the call, or the entry count when there is none.
    std::size_t indexOf(const QString& callId) const;

    std::vector<Entry> m_entries; // in the order the calls were first seen
};
