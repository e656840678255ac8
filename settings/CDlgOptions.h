#pragma once

#include <QDialog>

class CGeneralProfile;
class QTabWidget;

// The options dialog: four pages of settings under a tab control. Opening it reloads the stored
// settings, so changes that were never saved are dropped. The pages write every change into the
// settings object at once; Apply also applies the start-with-the-session entry and stores the
// settings, Cancel leaves the changes in memory unsaved.
class CDlgOptions : public QDialog {
    Q_OBJECT

public:
    enum ControlId {
        ApplyButton = 1,
        CancelButton = 2,
        TabControl = 1020,
    };
    enum Page { GeneralPage, RecordingPage, QualityPage, ChatReplyPage };

    explicit CDlgOptions(QWidget* parent = nullptr);
    CDlgOptions(CGeneralProfile& profile, QWidget* parent);

    // Runs the dialog modally over parent (the main window) and returns how it ended.
    static int run(QWidget* parent);

    QTabWidget* tabControl() const { return m_tabs; }

    void accept() override;

private:
    QTabWidget* createTabControl();
    void addPages();
    QWidget* createButtons();

    CGeneralProfile& m_profile;
    QTabWidget* m_tabs = nullptr;
};
