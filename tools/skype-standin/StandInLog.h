#pragma once

#include <QFile>
#include <QString>

// The stand-in's log: one line per event, "HH:mm:ss.zzz kind text", on standard output and,
// when asked, in a file. Every line is flushed at once so that people and tests see it live.
class StandInLog {
public:
    bool openFile(const QString& path);
    void write(const QString& kind, const QString& text);

private:
    QFile m_file;
};
