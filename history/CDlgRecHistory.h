#pragma once

#include "history/CEasyPlayer.h"
#include "history/CTreeCtrlBT.h"
#include "history/HistoryItemData.h"
#include "history/RecordEntry.h"
#include "ui/WindowDrag.h"

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class CMyButtonST;
class QSlider;

// The history window: every recording of record.xml in a tree grouped by day, how many there
// are and how many have not been heard, and a small player. A caption-less, resizable window
// owned by the main window, which creates it hidden at start-up, fills it (FillFromStore), adds
// each finished recording (AddToTree + Recount) and shows or hides it (toggleBeside). Closing
// it only hides it; its position is kept in the hispos setting when it is destroyed. The history
// store is looked up at each use, never kept, as the main window ends it on its own.
class CDlgRecHistory : public QWidget {
    Q_OBJECT

public:
    enum class PlayerState { Idle = -1, Playing = 0, Paused = 1, Stopped = 2 };

    static constexpr int PlayPicture = 1029;
    static constexpr int PausePicture = 1030;
    static constexpr int PlaybackTickMs = 500;

    // Commands of the record menu.
    enum MenuCommand {
        MenuPlay = 0x2000,
        MenuStop = 0x2001,
        MenuCall = 0x2002,
        MenuSendIm = 0x2003,
        MenuOpen = 0x2005,
        MenuDelete = 0x2006
    };

    // Call and Send IM hand the record's partner handles ("a,b") to the Skype link.
    using ContactAction = std::function<void(const QString& handleList)>;

    // Created hidden, with the tree holding the Summary row and a Day row for now.
    explicit CDlgRecHistory(QWidget* mainWindow);
    ~CDlgRecHistory() override;

    // Adds every record the history store holds, in file order, and counts them.
    void FillFromStore();
    // Adds one recording under its day, newest first within the day; a day not shown yet gets
    // a new Day row at the bottom. Call Recount afterwards.
    void AddToTree(const RecordEntry& entry);
    // The Day row whose local date is that of the time, or null.
    QTreeWidgetItem* FindDayGroup(qint64 time) const;
    // Counts the recordings and the unheard ones again and repaints the Summary row.
    void Recount();
    // Keeps the window above all others, or not, without moving it.
    void SetTopmost(bool topmost);
    bool isTopmost() const;

    // Where the window goes beside the main window (frame rectangle on the screen): centred
    // above it when docked to Skype, else below it with the left edges lined up.
    void placeBeside(const QRect& mainWindowFrame, bool docked);
    // The main window's History button: hides a visible window; otherwise places it, makes it
    // top-most when docked, and shows it.
    void toggleBeside(const QRect& mainWindowFrame, bool docked);

    // Links to the Skype link; without them Call, Send IM and the names do nothing special.
    void setCallAction(ContactAction action) { m_placeCall = std::move(action); }
    void setChatAction(ContactAction action) { m_openChat = std::move(action); }
    void setDisplayNameResolver(CTreeCtrlBT::DisplayNameResolver resolver);

    // The player: the Play/Pause and Stop buttons, the position and volume trackbars and the
    // playback timer, as plain methods.
    void onPlayClicked();
    void onStopClicked();
    void onPlaybackTick();
    void onPositionReleased();
    void onVolumeChanged(int value);

    PlayerState playerState() const { return m_state; }
    int playPicture() const { return m_playPicture; }
    HistoryCounts counts() const { return *m_counts; }
    QTreeWidgetItem* summaryItem() const { return m_summary; }
    // The Record row whose recording plays (or played last), or null.
    QTreeWidgetItem* recordBeingPlayed() const { return m_playing; }
    bool isPlaybackTimerActive() const { return m_playbackTimer.isActive(); }

    CTreeCtrlBT* tree() const { return m_tree; }
    CEasyPlayer& player() { return m_player; }
    CMyButtonST* closeButton() const { return m_closeButton; }
    CMyButtonST* playButton() const { return m_playButton; }
    CMyButtonST* stopButton() const { return m_stopButton; }
    QSlider* positionTrackbar() const { return m_positionBar; }
    QSlider* volumeTrackbar() const { return m_volumeBar; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void createControls();
    void buildTree();
    void restorePosition();
    void savePosition();
    void layoutControls();
    void setPlayPicture(int id);
    void setTrackbarPosition(qint64 position);
    void startSelectedRecord();
    void onSelectionChanged();
    QTreeWidgetItem* selectedItem() const;
    HistoryTreeItem* rowStillShowing(qintptr wParam, qintptr lParam, const RecordEntry& entry) const;
    void onRecordMenu(qintptr wParam, qintptr lParam);
    void onDeleteRecord(qintptr wParam, qintptr lParam);
    void onOpenRecordFolder(HistoryTreeItem* item);
    Qt::Edges edgesAt(const QPoint& position) const;

    QImage m_titleBand;
    CEasyPlayer m_player;
    CMyButtonST* m_closeButton = nullptr;
    CTreeCtrlBT* m_tree = nullptr;
    CMyButtonST* m_speakerButton = nullptr;
    CMyButtonST* m_stopButton = nullptr;
    CMyButtonST* m_playButton = nullptr;
    QSlider* m_positionBar = nullptr;
    QSlider* m_volumeBar = nullptr;
    PlayerState m_state = PlayerState::Idle;
    QTreeWidgetItem* m_playing = nullptr;
    QTreeWidgetItem* m_summary = nullptr;
    std::unique_ptr<HistoryCounts> m_counts;
    QTimer m_playbackTimer;
    int m_playPicture = PlayPicture;
    ContactAction m_placeCall;
    ContactAction m_openChat;
    WindowDrag m_drag;
};
