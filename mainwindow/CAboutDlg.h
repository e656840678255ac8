#pragma once

#include <QDialog>

// "About Tallowin Skype Recorder": the program icon, its name and version, one line about it, OK.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int DialogId = 100;

    explicit CAboutDlg(QWidget* parent = nullptr);

    static QString versionLine() { return QStringLiteral("Tallowin Skype Recorder (Version 6.0)"); }
    static QString aboutLine() { return QStringLiteral("Records your Skype calls to MP3 files."); }
};
