#pragma once

#include "history/RecordEntry.h"

#include <QString>
#include <functional>
#include <memory>
#include <mutex>

class XmlDoc;

// The recording history in record.xml: one record element per finished recording under
// corvane/list, oldest first. The whole file is held in memory and written back after every
// change. Records are addressed by position for reading and identified by name and time.
// Used on the user-interface thread; no exception leaves it.
class RecordStore {
public:
    // The process-wide store, created on first use.
    static RecordStore& Instance();
    // Ends the store at the main window's teardown; the next Instance() starts a fresh one.
    static void DestroyInstance();

    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;
    ~RecordStore();

    // Loads the file at path, or starts a new document when there is none. A file that cannot
    // be read is moved aside (see setAsideFile()) and the store starts empty. An empty path
    // leaves the store without a document.
    bool Open(const QString& path);
    // Child nodes of the list; 0 without a document, -1 when the document cannot be queried.
    int Count();
    bool GetAt(int index, RecordEntry& entry);
    // Appends the record and saves; false for a record with the same name and time (ignoring case).
    bool Add(const RecordEntry& entry);
    bool Find(const QString& name, const QString& time);
    bool Remove(const QString& name, const QString& time);
    // Clears the record's new flag and saves.
    bool MarkPlayed(const QString& name, const QString& time);

    QString path() const { return m_path; }
    // Where an unreadable record.xml found at Open was kept, or empty.
    QString setAsideFile() const { return m_setAside; }

private:
    RecordStore();
    // Runs change on the document under the lock and saves when it reports a change.
    bool changeAndSave(const std::function<bool()>& change);
    bool save();
    bool setAside();

    std::mutex m_lock;
    std::unique_ptr<XmlDoc> m_document;
    QString m_path;
    QString m_setAside;
    bool m_setAsidePending = false;
};
