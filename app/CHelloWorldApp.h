#pragma once

#include "platform/DesktopShell.h"
#include "platform/WidgetMessagePresenter.h"

#include <QApplication>

#include <memory>

class CHelloWorldDlg;
class SingleInstanceLock;
class TerminationSignals;

// The application: process-wide set-up, the single-instance rule, then the main window for as
// long as it runs. The process ends when the main window ends.
class CHelloWorldApp {
public:
    CHelloWorldApp(int& argc, char** argv);
    ~CHelloWorldApp();

    // Runs the whole life of the program; returns the process exit code.
    int Run();

private:
    // Always false: by the time it returns the main window has come and gone.
    bool InitInstance();
    int ExitInstance();

    QApplication m_app;
    std::unique_ptr<TerminationSignals> m_terminationSignals;
    std::unique_ptr<SingleInstanceLock> m_instanceLock;
    WidgetMessagePresenter m_messageBoxes;
    DesktopShell m_shell;
    CHelloWorldDlg* m_pMainWnd = nullptr;
};
