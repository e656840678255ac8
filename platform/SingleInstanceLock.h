#pragma once

#include <QLockFile>
#include <QString>

// Makes sure only one copy of the program runs for the user: a lock file named
// MARROWICK_CALLRECORDER in the user's runtime folder, held for the life of the process. The
// lock of a copy that crashed or was killed is recognised by its dead process and taken over.
class SingleInstanceLock {
public:
    enum class Result {
        Acquired,
        HeldByAnotherCopy,
        // The lock file cannot be made (for example a read-only folder): the program runs anyway.
        Unavailable,
    };

    static constexpr const char* Name = "MARROWICK_CALLRECORDER";

    // The lock in `folder`, by default the runtime folder.
    explicit SingleInstanceLock(const QString& folder = {});

    Result acquire();
    QString fileName() const { return m_lock.fileName(); }

private:
    QLockFile m_lock;
};
