#pragma once

#include <QString>

#include <mutex>
#include <vector>

// Skype handles with their full names: the friend list and call partners. The history window
// shows names from here instead of handles. Handles are compared exactly (case matters).
//
// Every operation holds the directory's lock for its whole run and hands out copies, so it may
// be used from any thread.
class ContactDirectory {
public:
    // Adds the handle with an empty full name unless it is listed already.
    void AddContact(const QString& handle);
    // The full name, or empty when the handle is not listed (or has no name yet).
    QString FullNameOf(const QString& handle) const;
    // Replaces the name of a listed handle and returns its position (from 0); adds an unlisted
    // one with the name and returns -1.
    int SetFullName(const QString& handle, const QString& name);
    // Removes the handle; false when it was not listed.
    bool RemoveContact(const QString& handle);
    // A comma-separated list of handles as the names to show: the full name, or the handle
    // when there is none, joined with " | "; empty pieces are skipped.
    QString DisplayNamesFor(const QString& handles) const;

    int size() const;

private:
    struct Entry {
        QString handle;
        QString fullName;
    };

    // The entry of the handle, or the entry count when there is none. The lock is held.
    std::size_t indexOf(const QString& handle) const;
    QString fullNameOfLocked(const QString& handle) const;

    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries; // in the order they were added
};
