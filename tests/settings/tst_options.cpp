#include "settings/AutostartEntry.h"
#include "settings/CDlgAdvanceSettings.h"
#include "settings/CDlgChatReplySettings.h"
#include "settings/CDlgGeneralSettings.h"
#include "settings/CDlgOptions.h"
#include "settings/CDlgRecordingSettings.h"
#include "settings/CGeneralProfile.h"
#include "settings/COptionsPage.h"
#include "settings/SelectFolder.h"
#include "support/RecordingShell.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

QVariant settingValue(const CGeneralProfile& p, const QString& name)
{
    const QMap<QString, QVariant> values = {{"autostart", p.autostart},
                                            {"notifycov", p.notifycov},
                                            {"notifyfinish", p.notifyfinish},
                                            {"notifyhistory", p.notifyhistory},
                                            {"starthide", p.starthide},
                                            {"rectype", p.rectype},
                                            {"recside", p.recside},
                                            {"sfolder", p.sfolder},
                                            {"amode", p.amode},
                                            {"abitrate", p.abitrate},
                                            {"asample", p.asample},
                                            {"chatreply", p.chatreply},
                                            {"onlinereply", p.onlinereply},
                                            {"notonlinereply", p.notonlinereply},
                                            {"replytxt", p.replytxt}};
    return values.value(name);
}

// A setting as the next start of the program reads it.
QVariant storedSetting(const QString& name)
{
    CGeneralProfile stored;
    stored.Load();
    return settingValue(stored, name);
}

// A setting in memory, as the rest of the program sees it now.
QVariant currentSetting(const QString& name)
{
    return settingValue(CGeneralProfile::Instance(), name);
}

// Stores a setting as an earlier run of the program would have.
void storeSetting(const QString& name, const QVariant& value)
{
    CRegisterAccess access;
    const QString key = access.basePath() + QStringLiteral("config");
    if (value.typeId() == QMetaType::Bool)
        access.writeFlag(key, name, value.toBool());
    else if (value.typeId() == QMetaType::Int)
        access.writeNumber(key, name, value.toInt());
    else
        access.writeText(key, name, value.toString());
}

template <typename T> T* control(QWidget* parent, int id)
{
    return parent->findChild<T*>(COptionsPage::controlName(id));
}

// Clicks a check box or radio button on its indicator, a push button in its middle.
void click(QAbstractButton* button)
{
    QVERIFY(button);
    const bool indicator = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, indicator ? QPoint(6, button->height() / 2) : QPoint());
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<CDlgOptions> m_dialog;

    CDlgOptions* openDialog()
    {
        m_dialog = std::make_unique<CDlgOptions>();
        m_dialog->show();
        return m_dialog.get();
    }

    // Brings a page up by clicking its tab.
    QWidget* showPage(int index)
    {
        QTabBar* bar = m_dialog->tabControl()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        return m_dialog->tabControl()->currentWidget();
    }

    template <typename T> T* pageControl(int page, int id) { return control<T>(showPage(page), id); }

    void press(int buttonId)
    {
        auto* button = control<QPushButton>(m_dialog.get(), buttonId);
        QVERIFY(button);
        click(button);
        QVERIFY(!m_dialog->isVisible());
    }

    QPlainTextEdit* replyText()
    {
        return pageControl<QPlainTextEdit>(CDlgOptions::ChatReplyPage, CDlgChatReplySettings::ReplyText);
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(m_env->isValid());
        CGeneralProfile::DestroyInstance();
    }

    void cleanup()
    {
        m_dialog.reset();
        CGeneralProfile::DestroyInstance();
        m_env.reset();
    }

    // As on a fixed-width tab control: every tab as wide as the one with the longest label.
    void tabsAreEquallyWide()
    {
        openDialog();
        const QTabBar* bar = m_dialog->tabControl()->tabBar();
        QCOMPARE(bar->count(), 4);
        const int width = bar->tabRect(0).width();
        QVERIFY(width > bar->fontMetrics().horizontalAdvance(QStringLiteral("Call Recording")));
        for (int index = 1; index < bar->count(); ++index)
            QCOMPARE(bar->tabRect(index).width(), width);
    }

    void tabsShowTheirPages()
    {
        openDialog();
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Options"));
        QTabWidget* tabs = m_dialog->tabControl();
        QCOMPARE(tabs->objectName(), COptionsPage::controlName(CDlgOptions::TabControl));
        const QStringList labels = {"General", "Call Recording", "MP3 Quality", "Chat Reply"};
        const QStringList captions = {"General", "Call Recording", "Advanced Settings", "Chat"};
        QCOMPARE(tabs->count(), labels.size());
        QCOMPARE(tabs->currentIndex(), int(CDlgOptions::GeneralPage));
        QVERIFY(qobject_cast<CDlgGeneralSettings*>(tabs->widget(CDlgOptions::GeneralPage)));
        QVERIFY(qobject_cast<CDlgRecordingSettings*>(tabs->widget(CDlgOptions::RecordingPage)));
        QVERIFY(qobject_cast<CDlgAdvanceSettings*>(tabs->widget(CDlgOptions::QualityPage)));
        QVERIFY(qobject_cast<CDlgChatReplySettings*>(tabs->widget(CDlgOptions::ChatReplyPage)));

        for (int index : {3, 1, 2, 0}) {
            QWidget* page = showPage(index);
            QCOMPARE(tabs->tabText(index), labels[index]);
            QCOMPARE(page->windowTitle(), captions[index]);
            for (int other = 0; other < tabs->count(); ++other)
                QCOMPARE(tabs->widget(other)->isVisible(), other == index);
        }

        auto* apply = control<QPushButton>(m_dialog.get(), CDlgOptions::ApplyButton);
        auto* cancel = control<QPushButton>(m_dialog.get(), CDlgOptions::CancelButton);
        QVERIFY(apply && cancel);
        QCOMPARE(apply->text(), QStringLiteral("Apply"));
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        QVERIFY(apply->isDefault());
    }

    void openingDropsChangesOfACancelledRun()
    {
        openDialog();
        click(pageControl<QCheckBox>(CDlgOptions::GeneralPage, CDlgGeneralSettings::HideAtStart));
        click(pageControl<QRadioButton>(CDlgOptions::RecordingPage, CDlgRecordingSettings::MySide));
        click(pageControl<QRadioButton>(CDlgOptions::QualityPage, CDlgAdvanceSettings::Bitrate256));
        replyText()->moveCursor(QTextCursor::End);
        QTest::keyClicks(replyText(), QStringLiteral(" Later."));
        press(CDlgOptions::CancelButton);
        QCOMPARE(currentSetting("starthide"), QVariant(true));
        QCOMPARE(currentSetting("recside"), QVariant(1));
        QCOMPARE(currentSetting("abitrate"), QVariant(5));
        QCOMPARE(currentSetting("replytxt"), QVariant("/me is not available for chat. Later."));

        openDialog();
        QCOMPARE(currentSetting("starthide"), QVariant(false));
        QCOMPARE(currentSetting("recside"), QVariant(0));
        QCOMPARE(currentSetting("abitrate"), QVariant(1));
        QVERIFY(!pageControl<QCheckBox>(CDlgOptions::GeneralPage, CDlgGeneralSettings::HideAtStart)->isChecked());
        QVERIFY(pageControl<QRadioButton>(CDlgOptions::RecordingPage, CDlgRecordingSettings::BothSides)->isChecked());
        QVERIFY(pageControl<QRadioButton>(CDlgOptions::QualityPage, CDlgAdvanceSettings::Bitrate64)->isChecked());
        QCOMPARE(replyText()->toPlainText(), QStringLiteral("/me is not available for chat."));
    }

    void radioButtonStoresItsValue_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QVariant>("before");
        QTest::addColumn<int>("shown"); // the button of the value before
        QTest::addColumn<int>("clicked");
        QTest::addColumn<QVariant>("after");

        using R = CDlgRecordingSettings;
        const int recording = CDlgOptions::RecordingPage;
        QTest::newRow("automatic") << recording << "rectype" << QVariant(false) << int(R::ManualRecord)
                                   << int(R::AutoRecord) << QVariant(true);
        QTest::newRow("manual") << recording << "rectype" << QVariant(true) << int(R::AutoRecord)
                                << int(R::ManualRecord) << QVariant(false);
        QTest::newRow("both sides") << recording << "recside" << QVariant(2) << int(R::RemoteSide) << int(R::BothSides)
                                    << QVariant(0);
        QTest::newRow("my side") << recording << "recside" << QVariant(0) << int(R::BothSides) << int(R::MySide)
                                 << QVariant(1);
        QTest::newRow("remote side") << recording << "recside" << QVariant(0) << int(R::BothSides) << int(R::RemoteSide)
                                     << QVariant(2);

        using A = CDlgAdvanceSettings;
        const int quality = CDlgOptions::QualityPage;
        QTest::newRow("mono") << quality << "amode" << QVariant(1) << int(A::Stereo) << int(A::Mono) << QVariant(0);
        QTest::newRow("stereo") << quality << "amode" << QVariant(2) << int(A::JointStereo) << int(A::Stereo)
                                << QVariant(1);
        QTest::newRow("joint stereo") << quality << "amode" << QVariant(0) << int(A::Mono) << int(A::JointStereo)
                                      << QVariant(2);
        const int bitrates[] = {A::Bitrate32, A::Bitrate64, A::Bitrate96, A::Bitrate128, A::Bitrate192, A::Bitrate256};
        for (int index = 0; index < 6; ++index) {
            const int before = index == 1 ? 0 : 1;
            QTest::addRow("%d kbit/s", CGeneralProfile::bitrateFromIndex(index))
                << quality << "abitrate" << QVariant(before) << bitrates[before] << bitrates[index] << QVariant(index);
        }
        const int rates[] = {A::SampleRate16000, A::SampleRate32000, A::SampleRate44100, A::SampleRate48000};
        for (int index = 0; index < 4; ++index) {
            const int before = index == 3 ? 0 : 3;
            QTest::addRow("%d Hz", CGeneralProfile::sampleRateFromIndex(index))
                << quality << "asample" << QVariant(before) << rates[before] << rates[index] << QVariant(index);
        }
    }

    void radioButtonStoresItsValue()
    {
        QFETCH(int, page);
        QFETCH(QString, setting);
        QFETCH(QVariant, before);
        QFETCH(int, shown);
        QFETCH(int, clicked);
        QFETCH(QVariant, after);

        storeSetting(setting, before);
        openDialog();
        auto* shownButton = pageControl<QRadioButton>(page, shown);
        auto* button = pageControl<QRadioButton>(page, clicked);
        QVERIFY(shownButton && button);
        QVERIFY(shownButton->isChecked());

        click(button);
        QVERIFY(button->isChecked());
        QVERIFY(!shownButton->isChecked());
        QCOMPARE(currentSetting(setting), after);
        QCOMPARE(storedSetting(setting), before);

        press(CDlgOptions::ApplyButton);
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QCOMPARE(storedSetting(setting), after);
    }

    void checkBoxStoresItsState_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("setting");

        using G = CDlgGeneralSettings;
        const int general = CDlgOptions::GeneralPage;
        QTest::newRow("autostart") << general << int(G::StartWithSession) << "autostart";
        QTest::newRow("notifycov") << general << int(G::FrontOnConversation) << "notifycov";
        QTest::newRow("notifyfinish") << general << int(G::FrontOnFinish) << "notifyfinish";
        QTest::newRow("notifyhistory") << general << int(G::HistoryOnFinish) << "notifyhistory";
        QTest::newRow("starthide") << general << int(G::HideAtStart) << "starthide";

        using C = CDlgChatReplySettings;
        const int chat = CDlgOptions::ChatReplyPage;
        QTest::newRow("chatreply") << chat << int(C::ChatReply) << "chatreply";
        QTest::newRow("onlinereply") << chat << int(C::OnlineReply) << "onlinereply";
        QTest::newRow("notonlinereply") << chat << int(C::NotOnlineReply) << "notonlinereply";
    }

    void checkBoxStoresItsState()
    {
        QFETCH(int, page);
        QFETCH(int, id);
        QFETCH(QString, setting);

        const bool before = storedSetting(setting).toBool();
        openDialog();
        auto* box = pageControl<QCheckBox>(page, id);
        QVERIFY(box);
        QCOMPARE(box->isChecked(), before);

        click(box);
        QCOMPARE(box->isChecked(), !before);
        QCOMPARE(currentSetting(setting), QVariant(!before));
        QCOMPARE(storedSetting(setting), QVariant(before));

        press(CDlgOptions::ApplyButton);
        QCOMPARE(storedSetting(setting), QVariant(!before));
    }

    void applyCreatesAndRemovesTheAutostartEntry()
    {
        const AutostartEntry entry;
        QVERIFY(!entry.exists());

        openDialog();
        click(pageControl<QCheckBox>(CDlgOptions::GeneralPage, CDlgGeneralSettings::StartWithSession));
        press(CDlgOptions::ApplyButton);
        QVERIFY(entry.exists());
        QFile file(entry.location());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains(QFile::encodeName(QCoreApplication::applicationFilePath())));

        openDialog();
        auto* box = pageControl<QCheckBox>(CDlgOptions::GeneralPage, CDlgGeneralSettings::StartWithSession);
        QVERIFY(box->isChecked());
        click(box);
        press(CDlgOptions::ApplyButton);
        QVERIFY(!entry.exists());
        QCOMPARE(storedSetting("autostart"), QVariant(false));
    }

    void chatReplyBoxEnablesTheOtherControls()
    {
        storeSetting("chatreply", false);
        openDialog();
        QWidget* page = showPage(CDlgOptions::ChatReplyPage);
        auto* enable = control<QCheckBox>(page, CDlgChatReplySettings::ChatReply);
        const QList<QWidget*> dependants = {control<QCheckBox>(page, CDlgChatReplySettings::OnlineReply),
                                            control<QCheckBox>(page, CDlgChatReplySettings::NotOnlineReply),
                                            control<QPlainTextEdit>(page, CDlgChatReplySettings::ReplyText)};
        QVERIFY(enable && !dependants.contains(nullptr));
        QVERIFY(!enable->isChecked());

        for (bool enabled : {false, true, false}) {
            if (enabled != enable->isChecked())
                click(enable);
            QVERIFY(enable->isEnabled());
            for (QWidget* dependant : dependants)
                QCOMPARE(dependant->isEnabled(), enabled);
            QCOMPARE(currentSetting("chatreply"), QVariant(enabled));
        }
    }

    void replyTextIsWrittenAsTyped()
    {
        openDialog();
        QPlainTextEdit* text = replyText();
        QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_Delete);
        QCOMPARE(currentSetting("replytxt"), QVariant(QString()));

        // Enter starts a new line here instead of applying the dialog.
        QTest::keyClicks(text, QStringLiteral("Busy"));
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, QStringLiteral("back soon"));
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(currentSetting("replytxt"), QVariant("Busy\nback soon"));
        QCOMPARE(storedSetting("replytxt"), QVariant("/me is not available for chat."));

        press(CDlgOptions::ApplyButton);
        QCOMPARE(storedSetting("replytxt"), QVariant("Busy\nback soon"));
    }

    void enterAppliesOutsideTheReplyText()
    {
        openDialog();
        auto* button = pageControl<QRadioButton>(CDlgOptions::RecordingPage, CDlgRecordingSettings::RemoteSide);
        click(button);
        QTest::keyClick(button, Qt::Key_Return);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QCOMPARE(storedSetting("recside"), QVariant(2));
    }

    void replyTextKeepsToTheLimit_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("cursor");

        const QString full = QString(512, u'b');
        QTest::newRow("600 pasted into nothing")
            << QString() << 0 << 0 << QString(600, u'a') << true << QString(512, u'a') << 512;
        QTest::newRow("typed up to the limit")
            << QString(510, u'b') << 510 << 510 << "xyz" << false << QString(510, u'b') + "xy" << 512;
        QTest::newRow("typed at the limit") << full << 512 << 512 << "x" << false << full << 512;
        QTest::newRow("typed inside at the limit") << full << 100 << 100 << "x" << false << full << 100;
        QTest::newRow("pasted into the middle") << QString(500, u'b') << 10 << 10 << QString(30, u'c') << true
                                                << QString(10, u'b') + QString(12, u'c') + QString(490, u'b') << 22;
        QTest::newRow("pasted over a selection") << QString(500, u'b') << 490 << 500 << QString(30, u'c') << true
                                                 << QString(490, u'b') + QString(22, u'c') << 512;
        QTest::newRow("half a character is not kept")
            << QString(511, u'b') << 511 << 511 << QStringLiteral("\U0001F600") << true << QString(511, u'b') << 511;
        QTest::newRow("longer stored text stays whole")
            << QString(600, u'd') << 600 << 600 << "x" << false << QString(600, u'd') << 600;
        QTest::newRow("longer stored text does not grow by a paste")
            << QString(600, u'd') << 590 << 600 << QString(30, u'c') << true << QString(590, u'd') + QString(10, u'c')
            << 600;
        QTest::newRow("longer stored text can be shortened")
            << QString(600, u'd') << 600 << 600 << "\b" << false << QString(599, u'd') << 599;
    }

    void replyTextKeepsToTheLimit()
    {
        QFETCH(QString, stored);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, input);
        QFETCH(bool, paste);
        QFETCH(QString, expected);
        QFETCH(int, cursor);

        storeSetting("replytxt", stored);
        openDialog();
        QPlainTextEdit* text = replyText();
        QCOMPARE(text->toPlainText(), stored);
        QTextCursor selection = text->textCursor();
        selection.setPosition(anchor);
        selection.setPosition(position, QTextCursor::KeepAnchor);
        text->setTextCursor(selection);

        if (paste) {
            QGuiApplication::clipboard()->setText(input);
            QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClicks(text, input);
        }
        QCOMPARE(text->toPlainText(), expected);
        QCOMPARE(text->textCursor().position(), cursor);
        QVERIFY(!text->textCursor().hasSelection());
        QCOMPARE(currentSetting("replytxt"), QVariant(expected));
    }

    void cutPasteIsUndoneInOneStep()
    {
        openDialog();
        QPlainTextEdit* text = replyText();
        text->moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(QString(600, u'a'));
        QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(text->toPlainText().size(), CDlgChatReplySettings::replyTextLimit);
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text->toPlainText(), QStringLiteral("/me is not available for chat."));
        QCOMPARE(currentSetting("replytxt"), QVariant("/me is not available for chat."));
    }

    void cancelledFolderPickerChangesNothing()
    {
        QStringList titles;
        QWidget* owner = nullptr;
        FolderPickerOverride picker([&](QWidget* parent, const QString& title) {
            owner = parent;
            titles << title;
            return QString();
        });
        const QString folder = storedSetting("sfolder").toString();
        QVERIFY(!folder.isEmpty());

        openDialog();
        QWidget* page = showPage(CDlgOptions::RecordingPage);
        auto* shown = control<QLineEdit>(page, CDlgRecordingSettings::Folder);
        QVERIFY(shown && shown->isReadOnly());
        QCOMPARE(shown->text(), folder);
        click(control<QPushButton>(page, CDlgRecordingSettings::Browse));
        QCOMPARE(titles, QStringList{"Select recording folder"});
        QCOMPARE(owner, page);
        QCOMPARE(shown->text(), folder);
        QCOMPARE(currentSetting("sfolder"), QVariant(folder));

        press(CDlgOptions::ApplyButton);
        QCOMPARE(storedSetting("sfolder"), QVariant(folder));
    }

    void chosenFolderIsShownOpenedAndStored()
    {
        const QString chosen = m_env->path(QStringLiteral("Calls/2024"));
        QVERIFY(QDir().mkpath(chosen));
        FolderPickerOverride picker([&](QWidget*, const QString&) { return chosen; });
        RecordingShell shell;

        openDialog();
        QWidget* page = showPage(CDlgOptions::RecordingPage);
        click(control<QPushButton>(page, CDlgRecordingSettings::Browse));
        QCOMPARE(control<QLineEdit>(page, CDlgRecordingSettings::Folder)->text(), chosen);
        QCOMPARE(currentSetting("sfolder"), QVariant(chosen));
        click(control<QPushButton>(page, CDlgRecordingSettings::OpenFolder));
        QCOMPARE(shell.openedFolders(), QStringList{chosen});

        press(CDlgOptions::ApplyButton);
        QCOMPARE(storedSetting("sfolder"), QVariant(chosen));
    }

    void cancelKeepsChangesInMemoryUnsaved_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("window closed") << "close";
    }

    void cancelKeepsChangesInMemoryUnsaved()
    {
        QFETCH(QString, how);
        openDialog();
        click(pageControl<QCheckBox>(CDlgOptions::GeneralPage, CDlgGeneralSettings::StartWithSession));
        click(pageControl<QRadioButton>(CDlgOptions::RecordingPage, CDlgRecordingSettings::RemoteSide));
        if (how == "cancel")
            press(CDlgOptions::CancelButton);
        else if (how == "escape")
            QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
        else
            m_dialog->close();
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_dialog->result(), int(QDialog::Rejected));

        QCOMPARE(currentSetting("recside"), QVariant(2));
        QCOMPARE(currentSetting("autostart"), QVariant(true));
        QCOMPARE(storedSetting("recside"), QVariant(0));
        QCOMPARE(storedSetting("autostart"), QVariant(false));
        QVERIFY(!AutostartEntry().exists());

        // A later save for another reason, as at the main window's end, stores them.
        CGeneralProfile::Instance().setModified();
        CGeneralProfile::Instance().Save();
        QCOMPARE(storedSetting("recside"), QVariant(2));
    }

    void runEndsWithTheButtonPressed_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("Apply") << int(CDlgOptions::ApplyButton) << int(QDialog::Accepted);
        QTest::newRow("Cancel") << int(CDlgOptions::CancelButton) << int(QDialog::Rejected);
    }

    void runEndsWithTheButtonPressed()
    {
        QFETCH(int, button);
        QFETCH(int, result);
        QWidget parent;
        parent.show();
        bool pressed = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<CDlgOptions*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->parentWidget(), &parent);
            QVERIFY(dialog->isModal());
            click(control<QPushButton>(dialog, button));
            pressed = true;
        });
        QCOMPARE(CDlgOptions::run(&parent), result);
        QVERIFY(pressed);
        QCOMPARE(storedSetting("abitrate"), QVariant(1));
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
