#pragma once

#include <QProcess>
#include <QString>

// A copy of the program in a process of its own, offscreen, with its own home (and XDG folders)
// and the given runtime folder, where the single-instance lock lives; its audio servers take
// free ports. It uses the test's session bus. Killed when the object goes.
class ProgramProcess {
public:
    ProgramProcess(const QString& program, const QString& home, const QString& runtime);
    ~ProgramProcess();

    // The window's initialisation made its folders: the copy is up and holds the lock.
    bool waitUntilRunning();
    // Asks the copy to end, as the desktop does at logout; it closes its window and ends normally.
    bool endsWhenAsked();

    QString recordingFolder() const { return m_home + QStringLiteral("/Documents/Tallowin Skype Recorder"); }
    QString historyFile() const { return m_home + QStringLiteral("/.local/share/Tallowin/record.xml"); }
    QProcess& process() { return m_process; }

private:
    QString m_home;
    QProcess m_process;
};
