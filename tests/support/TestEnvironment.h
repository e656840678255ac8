#pragma once

#include <QString>
#include <QTemporaryDir>

// Points HOME and the XDG folders at a fresh temporary folder for the lifetime of the object,
// so a test's settings, history and recordings never touch the real home (nor another test's).
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();

    bool isValid() const { return m_dir.isValid(); }
    QString home() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.filePath(relative); }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved[5];
};
