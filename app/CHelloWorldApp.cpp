#include "app/CHelloWorldApp.h"

#include "mainwindow/CHelloWorldDlg.h"
#include "platform/MessageBoxService.h"
#include "platform/Shell.h"
#include "platform/SingleInstanceLock.h"
#include "platform/TerminationSignals.h"

CHelloWorldApp::CHelloWorldApp(int& argc, char** argv) : m_app(argc, argv) {}

CHelloWorldApp::~CHelloWorldApp() = default;

int CHelloWorldApp::Run()
{
    InitInstance();
    return ExitInstance();
}

bool CHelloWorldApp::InitInstance()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Marrowick"));
    // A request to end the program that arrives before the window runs is taken up by it.
    m_terminationSignals = std::make_unique<TerminationSignals>();

    // A second copy ends here, silently: no window, no message, the first copy left alone.
    m_instanceLock = std::make_unique<SingleInstanceLock>();
    if (m_instanceLock->acquire() == SingleInstanceLock::Result::HeldByAnotherCopy)
        return false;

    MessageBoxService::install(&m_messageBoxes);
    Shell::install(&m_shell);

    CHelloWorldDlg dialog;
    m_pMainWnd = &dialog;
    QObject::connect(m_terminationSignals.get(), &TerminationSignals::terminationRequested, &dialog,
                     &CHelloWorldDlg::EndOnRequest);
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return false;
}

int CHelloWorldApp::ExitInstance()
{
    Shell::install(nullptr);
    MessageBoxService::install(nullptr);
    m_instanceLock.reset();
    m_terminationSignals.reset();
    return 0;
}
