#pragma once

#include <QString>

// The entry "Marrowick" that starts the program when the user's session starts, following the
// autostart setting. It starts the program given at construction (normally the running one) by
// its full path, without arguments. Failures are silent.
class AutostartEntry {
public:
    // An empty path stands for the running program.
    explicit AutostartEntry(const QString& programPath = {});

    // Set: creates the entry when it is missing; an existing entry is left as it is.
    // Clear: removes the entry.
    void apply(bool autostart) const;
    bool exists() const;
    // Where the entry lives.
    QString location() const;

private:
    QString m_program;
};
