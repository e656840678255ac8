#include "HistoryFixtures.h"
#include "history/CDlgRecHistory.h"
#include "history/RecordStore.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "settings/CGeneralProfile.h"
#include "support/FakeClock.h"
#include "support/RecordingMessagePresenter.h"
#include "support/RecordingShell.h"
#include "ui/CMyButtonST.h"
#include "ui/CXPMenu.h"
#include "ui/PixelProbe.h"
#include "ui/SkinPictures.h"

#include <QDir>
#include <QFileInfo>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace HistoryFixtures;
using State = CDlgRecHistory::PlayerState;

namespace {
const QColor white(255, 255, 255);
const QColor badge(252, 140, 5);

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits for the record menu to pop up, notes its items ("-" for a separator), does what the
// test has the user do elsewhere meanwhile, and picks the one with the text (none: closes it).
class MenuPicker {
public:
    explicit MenuPicker(const QString& choice = {}, std::function<void()> whileOpen = {})
        : m_choice(choice), m_whileOpen(std::move(whileOpen))
    {
        QTimer::singleShot(0, [this] { poll(); });
    }
    QStringList items;
    bool shown = false;

private:
    void poll()
    {
        auto* menu = qobject_cast<CXPMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            QTimer::singleShot(10, [this] { poll(); });
            return;
        }
        shown = true;
        if (m_whileOpen)
            m_whileOpen();
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            items.append(action->isSeparator() ? QStringLiteral("-") : action->text());
            if (!action->isSeparator() && action->text() == m_choice)
                chosen = action;
        }
        if (chosen) {
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            QTest::keyClick(menu, Qt::Key_Escape);
        }
    }

    QString m_choice;
    std::function<void()> m_whileOpen;
};
} // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<RecordingMessagePresenter> m_boxes;
    std::unique_ptr<RecordingShell> m_shell;
    std::unique_ptr<QWidget> m_main;
    CDlgRecHistory* m_window = nullptr;

    RecordStore& store() { return RecordStore::Instance(); }
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString trash() const { return m_dir->filePath("trash"); }

    // The main window owns the history window, as in the program.
    CDlgRecHistory& open()
    {
        m_main = std::make_unique<QWidget>();
        m_window = new CDlgRecHistory(m_main.get());
        m_window->FillFromStore();
        return *m_window;
    }

    void closeWindow()
    {
        m_main.reset();
        m_window = nullptr;
    }

    CDlgRecHistory& openShown()
    {
        CDlgRecHistory& w = open();
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qWarning("history window not exposed");
        return w;
    }

    // A recording on disk and in the store.
    RecordEntry addRecording(const QString& name, qint64 time, double seconds = 1.0)
    {
        const QString file = path(name + QString::number(time) + ".mp3");
        if (!writeTone(file, seconds))
            qWarning("could not write %s", qPrintable(file));
        const RecordEntry e = entry(name, time, file);
        store().Add(e);
        return e;
    }

    QList<QTreeWidgetItem*> days() const
    {
        QList<QTreeWidgetItem*> result;
        for (int i = 0; i < m_window->summaryItem()->childCount(); ++i)
            result.append(m_window->summaryItem()->child(i));
        return result;
    }

    QStringList dayLabels() const
    {
        QStringList labels;
        for (QTreeWidgetItem* day : days())
            labels.append(m_window->tree()->rowTexts(day).label);
        return labels;
    }

    static QStringList namesUnder(QTreeWidgetItem* day)
    {
        QStringList names;
        for (int i = 0; i < day->childCount(); ++i)
            names.append(CTreeCtrlBT::itemData(day->child(i))->entry.name);
        return names;
    }

    QTreeWidgetItem* rowOf(const QString& name) const
    {
        for (QTreeWidgetItemIterator it(m_window->tree()); *it; ++it)
            if (CTreeCtrlBT::isRecord(*it) && CTreeCtrlBT::itemData(*it)->entry.name == name)
                return *it;
        return nullptr;
    }

    void select(const QString& name) { m_window->tree()->setCurrentItem(rowOf(name)); }

    bool storedAsNew(const QString& name)
    {
        for (int i = 0; i < store().Count(); ++i) {
            RecordEntry e;
            if (store().GetAt(i, e) && e.name == name)
                return e.isNew;
        }
        return false;
    }

    // Moves the position thumb as the user does: hold, drag, let go.
    void dragPositionTo(qint64 position)
    {
        QSlider* bar = m_window->positionTrackbar();
        bar->setSliderDown(true);
        bar->setValue(int(position));
        bar->setSliderDown(false);
    }

    // Lets the player run to its end and lets the timer see it.
    void playToTheEnd()
    {
        CEasyPlayer& player = m_window->player();
        dragPositionTo(player.length() - 150);
        QTRY_COMPARE(player.position(), player.length());
        m_window->onPlaybackTick();
    }

    // Asks the window to delete the row, as its delete button does, and waits for it to go.
    void deleteRow(const QString& name)
    {
        QTreeWidgetItem* row = rowOf(name);
        PostWindowMessage(m_window, WM_DELETE_RECORD, reinterpret_cast<qintptr>(row),
                          reinterpret_cast<qintptr>(CTreeCtrlBT::itemData(row)));
        QTRY_VERIFY(!rowOf(name));
    }

    QStringList menuFor(const QString& name, const QString& choice = {}, std::function<void()> whileOpen = {})
    {
        QTreeWidgetItem* row = rowOf(name);
        MenuPicker picker(choice, std::move(whileOpen));
        QTest::mouseClick(m_window->tree()->viewport(), Qt::RightButton, {},
                          m_window->tree()->visualItemRect(row).center());
        if (!QTest::qWaitFor([&] { return picker.shown; }))
            return {QStringLiteral("no menu")};
        QCoreApplication::processEvents();
        return picker.items;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_clock = std::make_unique<FakeClock>(localSeconds(2013, 3, 12, 18));
        m_boxes = std::make_unique<RecordingMessagePresenter>();
        m_shell = std::make_unique<RecordingShell>(trash());
        store().Open(path("record.xml"));
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.hispos.clear();
        profile.setModified();
        profile.Save();
    }

    void cleanup()
    {
        closeWindow();
        RecordStore::DestroyInstance();
        m_shell.reset();
        m_boxes.reset();
        m_clock.reset();
        m_dir.reset();
    }

    void emptyHistoryShowsTodayAndNoBadge()
    {
        CDlgRecHistory& w = openShown();
        QVERIFY(!w.isHidden() && w.isWindow());
        QCOMPARE(w.counts().total, 0);
        QCOMPARE(w.counts().fresh, 0);
        const HistoryRowTexts summary = w.tree()->rowTexts(w.summaryItem());
        QCOMPARE(summary.label, QStringLiteral("Total 0 records"));
        QVERIFY(summary.badge.isEmpty());
        QCOMPARE(dayLabels(), QStringList{"Today"});
        QCOMPARE(days()[0]->childCount(), 0);

        const QImage image = w.tree()->viewport()->grab().toImage();
        QVERIFY(!probe::contains(image, badge, w.tree()->rowRect(w.summaryItem())));
        QVERIFY(showsPicture(image, QPoint(2, w.tree()->rowRect(days()[0]).top() + 2),
                             SkinPictures::keyed(SkinPictures::image(1017), white)));
    }

    void daysStayInTheOrderTheyAppearNewestFirstWithin()
    {
        store().Add(entry("carol", localSeconds(2013, 3, 10, 14)));
        store().Add(entry("alice", localSeconds(2013, 3, 12, 8)));
        store().Add(entry("bob", localSeconds(2013, 3, 11, 9)));
        store().Add(entry("dave", localSeconds(2013, 3, 12, 16), {}, 2, 60, false));
        CDlgRecHistory& w = open();

        QCOMPARE(dayLabels(), (QStringList{"Today", "2013-03-10", "Yesterday"}));
        QCOMPARE(namesUnder(days()[0]), (QStringList{"dave", "alice"}));
        QCOMPARE(namesUnder(days()[1]), QStringList{"carol"});
        QCOMPARE(namesUnder(days()[2]), QStringList{"bob"});
        for (QTreeWidgetItem* day : days())
            QVERIFY(day->isExpanded());
        QCOMPARE(w.counts().total, 4);
        QCOMPARE(w.counts().fresh, 3);
        QCOMPARE(w.tree()->rowTexts(w.summaryItem()).badge, QStringLiteral("3 new"));
    }

    void aRecordingAfterMidnightStartsADayAtTheBottom()
    {
        m_clock->set(localSeconds(2013, 3, 11, 23));
        CDlgRecHistory& w = open();
        m_clock->set(localSeconds(2013, 3, 12, 0, 30));
        const RecordEntry late = entry("erin", localSeconds(2013, 3, 12, 0, 10), {}, 1, 1200);
        QVERIFY(store().Add(late));
        w.AddToTree(late);
        w.Recount();

        QCOMPARE(dayLabels(), (QStringList{"Yesterday", "Today"}));
        QCOMPARE(days()[0]->childCount(), 0);
        QCOMPARE(namesUnder(days()[1]), QStringList{"erin"});
        QCOMPARE(w.counts().total, 1);
        QCOMPARE(w.counts().fresh, 1);
    }

    void recordRowsShowNullAndTheDayPartOfLongCalls()
    {
        store().Add(entry("", localSeconds(2013, 3, 12, 15, 30, 12), {}, 1, 25 * 3600));
        CDlgRecHistory& w = open();
        const HistoryRowTexts texts = w.tree()->rowTexts(days()[0]->child(0));
        QCOMPARE(texts.names, QStringLiteral("Null"));
        QCOMPARE(texts.time, QStringLiteral("PM 03:30:12"));
        QCOMPARE(texts.duration, QStringLiteral("   01:00:00"));

        w.setDisplayNameResolver([](const QString&) { return QStringLiteral("never asked for no partner"); });
        QCOMPARE(w.tree()->rowTexts(days()[0]->child(0)).names, QStringLiteral("Null"));
    }

    void deletingTheLastRecordOfADayKeepsTheDay()
    {
        const RecordEntry old = addRecording("carol", localSeconds(2013, 3, 10, 14));
        addRecording("alice", localSeconds(2013, 3, 12, 8));
        CDlgRecHistory& w = openShown();
        m_boxes->setAnswer(MessageResult::Yes);
        select("alice");

        // The delete button of the other, unselected row.
        QTreeWidgetItem* row = rowOf("carol");
        const QRect button = w.tree()->rowButtonRect(row, CTreeCtrlBT::RowButton::Delete);
        QTest::mouseMove(w.tree()->viewport(), button.center());
        QTRY_COMPARE(w.tree()->hoveredButton(), CTreeCtrlBT::RowButton::Delete);
        QTest::mouseClick(w.tree()->viewport(), Qt::LeftButton, {}, button.center());
        QTRY_COMPARE(m_boxes->count(), 1);

        const MessageRequest question = m_boxes->requests()[0];
        QCOMPARE(question.text, QStringLiteral("Are you sure you want to delete the selected item?"));
        QCOMPARE(question.caption, QStringLiteral("Tallowin Skype Recorder"));
        QCOMPARE(question.icon, MessageIcon::Question);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(question.owner, &w);

        QVERIFY(!rowOf("carol"));
        QCOMPARE(dayLabels(), (QStringList{"Today", "2013-03-10"}));
        QCOMPARE(days()[1]->childCount(), 0);
        QCOMPARE(w.counts().total, 1);
        QCOMPARE(m_shell->trashedFiles(), QStringList{old.file});
        QVERIFY(!QFileInfo::exists(old.file));
        QVERIFY(QFileInfo::exists(trash() + "/" + QFileInfo(old.file).fileName()));
        QVERIFY(!readFile(path("record.xml")).contains("carol"));
        QVERIFY(readFile(path("record.xml")).contains("alice"));
        QCOMPARE(store().Count(), 1);

        w.tree()->viewport()->repaint();
        const QImage image = w.tree()->viewport()->grab().toImage();
        QVERIFY(showsPicture(image, QPoint(2, w.tree()->rowRect(days()[1]).top() + 2),
                             SkinPictures::keyed(SkinPictures::image(1017), white)));
    }

    void deleteLeavesEverythingWhenNotConfirmedOrNotFound()
    {
        const RecordEntry kept = addRecording("carol", localSeconds(2013, 3, 12, 14));
        CDlgRecHistory& w = open();
        QTreeWidgetItem* row = rowOf("carol");
        const qintptr data = reinterpret_cast<qintptr>(CTreeCtrlBT::itemData(row));
        auto postDelete = [&] {
            PostWindowMessage(&w, WM_DELETE_RECORD, reinterpret_cast<qintptr>(row), data);
            QCoreApplication::processEvents();
        };

        m_boxes->setAnswer(MessageResult::No);
        postDelete();
        QCOMPARE(m_boxes->count(), 1);
        QCOMPARE(rowOf("carol"), row);
        QCOMPARE(store().Count(), 1);

        // The record went from the file behind the window's back: nothing else goes.
        QVERIFY(store().Remove(kept.name, kept.time));
        m_boxes->setAnswer(MessageResult::Yes);
        postDelete();
        QCOMPARE(m_boxes->count(), 2);
        QCOMPARE(rowOf("carol"), row);
        QVERIFY(QFileInfo::exists(kept.file));
        QVERIFY(m_shell->trashedFiles().isEmpty());

        // A message about a row that is gone finds nothing to ask about.
        delete row;
        postDelete();
        QCOMPARE(m_boxes->count(), 2);
    }

    // While the question is open the row may go (another question about it answered first) and
    // a newly finished recording's row may take its place in memory: the answer then deletes
    // nothing.
    void aRowReplacedWhileAskingIsNotDeleted()
    {
        const RecordEntry asked = addRecording("carol", localSeconds(2013, 3, 12, 14));
        const RecordEntry newcomer = addRecording("erin", localSeconds(2013, 3, 12, 15));
        CDlgRecHistory& w = open();
        QTreeWidgetItem* row = rowOf("carol");
        HistoryItemData* rowData = CTreeCtrlBT::itemData(row);
        m_boxes->setAnswer(MessageResult::Yes);
        m_boxes->doWhileOpen([&] {
            QVERIFY(store().Remove(asked.name, asked.time));
            delete rowOf("erin");
            rowData->entry = newcomer;
        });
        PostWindowMessage(&w, WM_DELETE_RECORD, reinterpret_cast<qintptr>(row), reinterpret_cast<qintptr>(rowData));
        QTRY_COMPARE(m_boxes->count(), 1);
        QCoreApplication::processEvents();

        QCOMPARE(rowOf("erin"), row);
        QCOMPARE(store().Count(), 1);
        QVERIFY(QFileInfo::exists(newcomer.file));
        QVERIFY(m_shell->trashedFiles().isEmpty());
    }

    void recordMenuFollowsThePlayerState_data()
    {
        QTest::addColumn<int>("presses"); // Play presses, then a Stop when negative
        QTest::addColumn<QStringList>("items");

        const QStringList rest = {"Call", "Send IM", "-", "Open", "Delete"};
        QTest::newRow("idle") << 0 << QStringList{"Play"} + rest;
        QTest::newRow("playing") << 1 << QStringList{"Stop"} + rest;
        QTest::newRow("paused") << 2 << QStringList{"Stop"} + rest;
        QTest::newRow("stopped") << -1 << QStringList{"Play"} + rest;
    }

    void recordMenuFollowsThePlayerState()
    {
        QFETCH(int, presses);
        QFETCH(QStringList, items);
        addRecording("alice", localSeconds(2013, 3, 12, 8));
        CDlgRecHistory& w = openShown();
        select("alice");
        for (int i = 0; i < qAbs(presses); ++i)
            w.onPlayClicked();
        if (presses < 0)
            w.onStopClicked();
        QCOMPARE(menuFor("alice"), items);
    }

    void recordMenuActs()
    {
        const RecordEntry e = addRecording("bob,alice", localSeconds(2013, 3, 12, 8));
        CDlgRecHistory& w = openShown();
        QStringList calls, chats;
        w.setCallAction([&](const QString& handles) { calls.append(handles); });
        w.setChatAction([&](const QString& handles) { chats.append(handles); });

        menuFor("bob,alice", "Call");
        QCOMPARE(calls, QStringList{"bob,alice"});
        menuFor("bob,alice", "Send IM");
        QCOMPARE(chats, QStringList{"bob,alice"});
        menuFor("bob,alice", "Open");
        QTRY_COMPARE(m_shell->shownFiles(), QStringList{e.file});

        menuFor("bob,alice", "Play");
        QCOMPARE(w.playerState(), State::Playing);
        menuFor("bob,alice", "Stop");
        QCOMPARE(w.playerState(), State::Stopped);

        m_boxes->setAnswer(MessageResult::No);
        menuFor("bob,alice", "Delete");
        QTRY_COMPARE(m_boxes->count(), 1);
        QVERIFY(rowOf("bob,alice"));

        // Without the link, Call and Send IM do nothing.
        w.setCallAction(nullptr);
        w.setChatAction(nullptr);
        menuFor("bob,alice", "Call");
        menuFor("bob,alice", "Send IM");
        QCOMPARE(calls.size(), 1);
        QCOMPARE(chats.size(), 1);
    }

    // The menu runs its own event loop, as the delete question does.
    void aRowReplacedWhileTheMenuIsOpenIsNotActedOn()
    {
        addRecording("carol", localSeconds(2013, 3, 12, 14));
        const RecordEntry newcomer = addRecording("erin", localSeconds(2013, 3, 12, 15));
        CDlgRecHistory& w = openShown();
        QStringList calls;
        w.setCallAction([&](const QString& handles) { calls.append(handles); });
        QTreeWidgetItem* row = rowOf("carol");
        menuFor("carol", "Call", [&] {
            delete rowOf("erin");
            CTreeCtrlBT::itemData(row)->entry = newcomer;
        });
        QCOMPARE(calls, QStringList{});
    }

    void playPauseSeekAndStop()
    {
        addRecording("alice", localSeconds(2013, 3, 12, 8));
        CDlgRecHistory& w = openShown();
        QCOMPARE(w.playerState(), State::Idle);
        QVERIFY(!w.playButton()->isEnabled());
        QVERIFY(!w.stopButton()->isEnabled());
        QCOMPARE(w.playPicture(), CDlgRecHistory::PlayPicture);

        select("alice");
        QVERIFY(w.playButton()->isEnabled());
        QTest::mouseClick(w.playButton(), Qt::LeftButton);
        QCOMPARE(w.playerState(), State::Playing);
        QCOMPARE(w.playPicture(), CDlgRecHistory::PausePicture);
        QVERIFY(w.stopButton()->isEnabled());
        QVERIFY(w.isPlaybackTimerActive());
        QCOMPARE(w.recordBeingPlayed(), rowOf("alice"));
        const qint64 length = w.player().length();
        QVERIFY(length >= 1000);
        QCOMPARE(w.positionTrackbar()->maximum(), int(length));

        QTRY_VERIFY(w.player().position() > 100);
        w.onPlaybackTick();
        QVERIFY(w.positionTrackbar()->value() > 100);

        // Pause keeps the position.
        w.onPlayClicked();
        QCOMPARE(w.playerState(), State::Paused);
        QCOMPARE(w.playPicture(), CDlgRecHistory::PlayPicture);
        QVERIFY(!w.isPlaybackTimerActive());
        QVERIFY(w.stopButton()->isEnabled());
        const qint64 held = w.player().position();
        QTest::qWait(200);
        QCOMPARE(w.player().position(), held);

        // Moving the thumb while paused moves the position only.
        dragPositionTo(700);
        QCOMPARE(w.player().position(), 700);
        QCOMPARE(w.playerState(), State::Paused);
        QTest::qWait(200);
        QCOMPARE(w.player().position(), 700);

        // Resuming goes on from there.
        w.onPlayClicked();
        QCOMPARE(w.playerState(), State::Playing);
        QCOMPARE(w.playPicture(), CDlgRecHistory::PausePicture);
        QVERIFY(w.isPlaybackTimerActive());
        QTRY_VERIFY(w.player().position() > 700);

        // Stop rewinds.
        QTest::mouseClick(w.stopButton(), Qt::LeftButton);
        QCOMPARE(w.playerState(), State::Stopped);
        QCOMPARE(w.player().position(), 0);
        QCOMPARE(w.positionTrackbar()->value(), 0);
        QVERIFY(!w.stopButton()->isEnabled());
        QVERIFY(w.playButton()->isEnabled());
        QCOMPARE(w.playPicture(), CDlgRecHistory::PlayPicture);
        QVERIFY(!w.isPlaybackTimerActive());
        QTest::qWait(150);
        QCOMPARE(w.player().position(), 0);
        QVERIFY(storedAsNew("alice"));
    }

    void selectionDecidesAboutPlay()
    {
        addRecording("alice", localSeconds(2013, 3, 12, 8));
        addRecording("bob", localSeconds(2013, 3, 12, 9));
        CDlgRecHistory& w = openShown();
        w.tree()->setCurrentItem(days()[0]);
        QVERIFY(!w.playButton()->isEnabled());
        select("alice");
        QVERIFY(w.playButton()->isEnabled());
        w.onPlayClicked();

        // While playing, a Day disables Play; Stop stays usable.
        w.tree()->setCurrentItem(days()[0]);
        QVERIFY(!w.playButton()->isEnabled());
        QVERIFY(w.stopButton()->isEnabled());
        // Another record while playing leaves Play as it is.
        select("bob");
        QVERIFY(!w.playButton()->isEnabled());
        w.onStopClicked();
        QVERIFY(w.playButton()->isEnabled());

        // Play acts as Pause while playing, whichever record is selected.
        w.onPlayClicked();
        QCOMPARE(w.recordBeingPlayed(), rowOf("bob"));
        select("alice");
        w.onPlayClicked();
        QCOMPARE(w.playerState(), State::Paused);
        QCOMPARE(w.recordBeingPlayed(), rowOf("bob"));
    }

    void playingToTheEndMarksTheRecordHeard()
    {
        addRecording("alice", localSeconds(2013, 3, 12, 8));
        addRecording("bob", localSeconds(2013, 3, 12, 9));
        CDlgRecHistory& w = openShown();
        QCOMPARE(w.tree()->rowTexts(w.summaryItem()).badge, QStringLiteral("2 new"));
        select("alice");
        w.onPlayClicked();
        playToTheEnd();

        QCOMPARE(w.playerState(), State::Stopped);
        QCOMPARE(w.player().position(), 0);
        QVERIFY(!w.player().isPlaying());
        QCOMPARE(w.positionTrackbar()->value(), 0);
        QCOMPARE(w.playPicture(), CDlgRecHistory::PlayPicture);
        QVERIFY(!w.stopButton()->isEnabled());
        QVERIFY(!w.isPlaybackTimerActive());

        QVERIFY(!storedAsNew("alice"));
        QVERIFY(storedAsNew("bob"));
        QVERIFY(!CTreeCtrlBT::itemData(rowOf("alice"))->entry.isNew);
        QCOMPARE(w.counts().fresh, 1);
        QCOMPARE(w.tree()->rowTexts(w.summaryItem()).badge, QStringLiteral("1 new"));
        QVERIFY(readFile(path("record.xml")).contains("<new>false</new>"));

        // The heard record now shows the plain incoming icon.
        const QImage image = w.tree()->viewport()->grab().toImage();
        const QRect text = w.tree()->visualItemRect(rowOf("alice"));
        const QList<QPixmap> icons = SkinPictures::imageList(SkinPictures::image(1033), 16, white);
        QVERIFY(showsPicture(image, QPoint(text.left() - text.left() / 2, text.top() + 1), icons[1]));
    }

    void deletingTheRecordBeingPlayedMarksNothing()
    {
        addRecording("alice", localSeconds(2013, 3, 12, 8));
        const RecordEntry bob = addRecording("bob", localSeconds(2013, 3, 12, 9));
        CDlgRecHistory& w = openShown();
        m_boxes->setAnswer(MessageResult::Yes);
        select("bob");
        w.onPlayClicked();
        deleteRow("bob");
        QVERIFY(!w.recordBeingPlayed());
        QCOMPARE(w.playerState(), State::Playing);

        playToTheEnd();
        QCOMPARE(w.playerState(), State::Stopped);
        QVERIFY(storedAsNew("alice"));
        QCOMPARE(w.counts().total, 1);
        QCOMPARE(w.counts().fresh, 1);
        QCOMPARE(m_shell->trashedFiles(), QStringList{bob.file});
    }

    void deletingAnotherRecordStillMarksTheOneBeingPlayed()
    {
        addRecording("alice", localSeconds(2013, 3, 12, 8));
        addRecording("bob", localSeconds(2013, 3, 12, 9));
        CDlgRecHistory& w = openShown();
        m_boxes->setAnswer(MessageResult::Yes);
        select("alice");
        w.onPlayClicked();
        deleteRow("bob");
        QCOMPARE(w.recordBeingPlayed(), rowOf("alice"));

        playToTheEnd();
        QVERIFY(!storedAsNew("alice"));
        QCOMPARE(w.counts().fresh, 0);
    }

    void aMissingRecordingIsReported_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("file gone") << "gone.mp3";
        QTest::newRow("no file named") << "";
    }

    void aMissingRecordingIsReported()
    {
        QFETCH(QString, file);
        const QString full = file.isEmpty() ? QString() : path(file);
        store().Add(entry("alice", localSeconds(2013, 3, 12, 8), full));
        CDlgRecHistory& w = open();
        select("alice");
        w.onPlayClicked();

        QCOMPARE(m_boxes->count(), 1);
        const MessageRequest message = m_boxes->requests()[0];
        QCOMPARE(message.text, QStringLiteral("'%1' file not found!").arg(full));
        QCOMPARE(message.caption, QStringLiteral("Tallowin Skype Recorder"));
        QCOMPARE(message.buttons, MessageButtons::Ok);
        QCOMPARE(w.playerState(), State::Idle);
        QVERIFY(!w.isPlaybackTimerActive());
        QVERIFY(!w.stopButton()->isEnabled());
        QCOMPARE(w.playPicture(), CDlgRecHistory::PlayPicture);

        // With a Day selected there is no file at all.
        w.tree()->setCurrentItem(days()[0]);
        w.onPlayClicked();
        QCOMPARE(m_boxes->requests().last().text, QStringLiteral("'' file not found!"));
        QCOMPARE(w.playerState(), State::Idle);
    }

    void aFileThatDoesNotDecodeEndsAtOnce()
    {
        const QString file = path("note.mp3");
        QVERIFY(writeBytes(file, QByteArray("not a recording\n").repeated(100)));
        store().Add(entry("alice", localSeconds(2013, 3, 12, 8), file));
        CDlgRecHistory& w = open();
        select("alice");
        w.onPlayClicked();
        QCOMPARE(w.playerState(), State::Playing);
        QCOMPARE(w.player().length(), 0);

        QCOMPARE(m_boxes->count(), 1);
        const MessageRequest message = m_boxes->requests()[0];
        QCOMPARE(message.text, QStringLiteral("'%1' cannot be played.").arg(file));
        QCOMPARE(message.caption, QStringLiteral("Tallowin Skype Recorder"));
        QCOMPARE(message.icon, MessageIcon::Warning);
        QCOMPARE(message.buttons, MessageButtons::Ok);

        w.onPlaybackTick();
        QCOMPARE(w.playerState(), State::Stopped);
        QVERIFY(!w.isPlaybackTimerActive());
        QVERIFY(!storedAsNew("alice"));
        QCOMPARE(w.counts().fresh, 0);
    }

    void volumeFollowsTheTrackbar()
    {
        addRecording("alice", localSeconds(2013, 3, 12, 8));
        CDlgRecHistory& w = open();
        QCOMPARE(w.volumeTrackbar()->minimum(), 0);
        QCOMPARE(w.volumeTrackbar()->maximum(), 10);
        QCOMPARE(w.volumeTrackbar()->value(), 10);
        QCOMPARE(w.player().volume(), 1000);
        w.volumeTrackbar()->setValue(0);
        QCOMPARE(w.player().volume(), 0);
        w.volumeTrackbar()->setValue(7);
        QCOMPARE(w.player().volume(), 700);

        // A newly opened recording starts at the trackbar's volume.
        select("alice");
        w.onPlayClicked();
        QVERIFY(w.player().isOpen());
        QCOMPARE(w.player().volume(), 700);
    }

    void positionIsRestoredFromTheSetting_data()
    {
        QTest::addColumn<QString>("hispos");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<QPoint>("at");

        QTest::newRow("a saved rectangle") << "100,200,600,500" << true << QPoint(100, 200);
        QTest::newRow("three numbers are enough") << "30,40,50" << true << QPoint(30, 40);
        QTest::newRow("a fifth number is ignored") << "10,20,30,40,-50" << true << QPoint(10, 20);
        QTest::newRow("junk reads as 0") << "x,20,30,40" << true << QPoint(0, 20);
        QTest::newRow("two numbers") << "100,200" << false << QPoint();
        QTest::newRow("a negative one") << "100,-5,600,500" << false << QPoint();
        QTest::newRow("empty") << "" << false << QPoint();
    }

    void positionIsRestoredFromTheSetting()
    {
        QFETCH(QString, hispos);
        QFETCH(bool, moved);
        QFETCH(QPoint, at);
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.hispos = hispos;
        profile.setModified();
        profile.Save();
        profile.hispos = QStringLiteral("changed in memory only");

        const QPoint unmoved = QWidget(nullptr, Qt::Window).pos();
        CDlgRecHistory& w = open();
        QCOMPARE(w.pos(), moved ? at : unmoved);
        QCOMPARE(w.size(), QSize(438, 254));
    }

    void positionIsSavedWhenDestroyed()
    {
        CDlgRecHistory& w = open();
        w.setGeometry(120, 80, 500, 300);
        closeWindow();
        CGeneralProfile& profile = CGeneralProfile::Instance();
        QCOMPARE(profile.hispos, QStringLiteral("120,80,620,380"));
        profile.hispos.clear();
        profile.Load();
        QCOMPARE(profile.hispos, QStringLiteral("120,80,620,380"));
    }

    void placedBesideTheMainWindow()
    {
        CDlgRecHistory& w = open();
        w.resize(500, 300);
        QVERIFY(w.isHidden());
        const QRect main(100, 400, 438, 98);

        w.toggleBeside(main, false);
        QVERIFY(w.isVisible());
        QCOMPARE(w.pos(), QPoint(100, 498));
        QVERIFY(!w.isTopmost());
        w.toggleBeside(main, false);
        QVERIFY(w.isHidden());

        const QRect bar(100, 600, 800, 45);
        w.toggleBeside(bar, true);
        QCOMPARE(w.pos(), QPoint(250, 300));
        QVERIFY(w.isTopmost());
        QVERIFY(w.isVisible());
        // Wider than the bar: the left edges line up.
        w.placeBeside(QRect(100, 600, 400, 45), true);
        QCOMPARE(w.pos(), QPoint(100, 300));
    }

    void topmostChangesNeitherPlaceNorVisibility()
    {
        CDlgRecHistory& w = openShown();
        w.move(150, 160);
        w.SetTopmost(true);
        QVERIFY(w.isTopmost());
        QVERIFY(w.isVisible());
        QCOMPARE(w.pos(), QPoint(150, 160));
        w.SetTopmost(false);
        QVERIFY(!w.isTopmost());
        QVERIFY(w.isVisible());
        QCOMPARE(w.pos(), QPoint(150, 160));
        w.hide();
        w.SetTopmost(true);
        QVERIFY(w.isHidden());
        QVERIFY(w.isTopmost());
    }

    void layoutBandsAndMinimumSize()
    {
        CDlgRecHistory& w = openShown();
        QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));
        w.resize(600, 400);
        QCOMPARE(w.tree()->geometry(), QRect(0, 22, 600, 348));
        QCOMPARE(w.closeButton()->geometry().topRight(), QPoint(598, 1));
        QCOMPARE(w.playButton()->pos(), QPoint(6, 373));
        QCOMPARE(w.stopButton()->x(), w.playButton()->geometry().right() + 1 + 3);
        QCOMPARE(w.volumeTrackbar()->geometry().right(), 597);
        QCOMPARE(w.positionTrackbar()->x(), w.stopButton()->geometry().right() + 1 + 2);
        QCOMPARE(w.volumeTrackbar()->x() - w.positionTrackbar()->geometry().right() - 1, 24 + 2);

        const QImage image = w.grab().toImage();
        const QImage title = SkinPictures::image(1056);
        QCOMPARE(image.pixelColor(5, 5), title.pixelColor(5, 5));
        QCOMPARE(image.pixelColor(600 - 22 + 5, 15), title.pixelColor(title.width() - 22 + 5, 15));
        QCOMPARE(image.pixelColor(300, 372), w.palette().color(QPalette::Button));

        w.resize(300, 100);
        QCOMPARE(w.size(), QSize(438, 162));
    }

    void theBodyMovesTheWindowAndCloseHidesIt()
    {
        CDlgRecHistory& w = openShown();
        w.move(200, 200);
        const QPoint grip(200, 10);
        QTest::mousePress(&w, Qt::LeftButton, {}, grip);
        QMouseEvent drag(QEvent::MouseMove, QPointF(grip + QPoint(30, 40)),
                         QPointF(w.mapToGlobal(grip + QPoint(30, 40))), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&w, &drag);
        QTest::mouseRelease(&w, Qt::LeftButton, {}, grip + QPoint(30, 40));
        QCOMPARE(w.pos(), QPoint(230, 240));

        QTest::mouseClick(w.closeButton(), Qt::LeftButton);
        QVERIFY(w.isHidden());
        QVERIFY(m_window);
    }
};

HISTORY_TEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
