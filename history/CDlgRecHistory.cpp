#include "history/CDlgRecHistory.h"

#include "history/RecordStore.h"
#include "platform/Clock.h"
#include "platform/MessageBoxService.h"
#include "platform/Shell.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "settings/CGeneralProfile.h"
#include "ui/CMyButtonST.h"
#include "ui/CXPMenu.h"
#include "ui/SavedWindowPosition.h"
#include "ui/SkinPictures.h"
#include "ui/WindowLayering.h"

#include <QCursor>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QWindow>
#include <limits>

namespace {
const QString productName = QStringLiteral("Tallowin Skype Recorder");
const QColor white(255, 255, 255);
const QColor titleText(60, 60, 60);

constexpr int titleHeight = 22;
constexpr int bottomBandHeight = 30;
constexpr int bottomRowOffset = 27;
constexpr int resizeMargin = 4;
constexpr int volumeSteps = 10;
constexpr int volumeStep = CEasyPlayer::MaxVolume / volumeSteps;

constexpr QSize defaultSize(438, 254);
constexpr QSize minimumWindowSize(438, 162);
constexpr QSize bigButton(24, 24);
constexpr QSize closeButtonSize(16, 16);
constexpr int trackbarHeight = 24;

qint64 recordTime(const QTreeWidgetItem* item)
{
    const HistoryItemData* rowData = CTreeCtrlBT::itemData(item);
    return rowData ? CTreeCtrlBT::secondsFrom(rowData->entry.time) : 0;
}
} // namespace

CDlgRecHistory::CDlgRecHistory(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::FramelessWindowHint), m_counts(std::make_unique<HistoryCounts>())
{
    setWindowTitle(QStringLiteral("History"));
    setMouseTracking(true);
    setMinimumSize(minimumWindowSize);
    resize(defaultSize);
    m_titleBand = SkinPictures::image(1056);
    createControls();
    buildTree();
    restorePosition();
    layoutControls();

    m_playbackTimer.setInterval(PlaybackTickMs);
    connect(&m_playbackTimer, &QTimer::timeout, this, &CDlgRecHistory::onPlaybackTick);
}

CDlgRecHistory::~CDlgRecHistory()
{
    // The tree outlives this part of the window while it is taken down: its last selection
    // change must not come back here.
    disconnect(m_tree, nullptr, this, nullptr);
    m_playbackTimer.stop();
    savePosition();
    m_player.close();
}

void CDlgRecHistory::createControls()
{
    m_closeButton = new CMyButtonST(this);
    m_closeButton->setBitmaps(131, Qt::black, 130, Qt::black, 132, Qt::black);
    m_closeButton->resize(closeButtonSize);
    connect(m_closeButton, &QAbstractButton::clicked, this, &QWidget::hide);

    m_tree = new CTreeCtrlBT(this);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CDlgRecHistory::onSelectionChanged);

    m_speakerButton = new CMyButtonST(this);
    m_speakerButton->setBitmaps(1032, white);
    m_speakerButton->resize(bigButton);
    m_speakerButton->setFocusPolicy(Qt::NoFocus);

    m_stopButton = new CMyButtonST(this);
    m_stopButton->setBitmaps(1031, white);
    m_stopButton->resize(bigButton);
    m_stopButton->setEnabled(false);
    connect(m_stopButton, &QAbstractButton::clicked, this, &CDlgRecHistory::onStopClicked);

    m_playButton = new CMyButtonST(this);
    setPlayPicture(PlayPicture);
    m_playButton->resize(bigButton);
    m_playButton->setEnabled(false);
    connect(m_playButton, &QAbstractButton::clicked, this, &CDlgRecHistory::onPlayClicked);

    m_positionBar = new QSlider(Qt::Horizontal, this);
    m_positionBar->setTickPosition(QSlider::NoTicks);
    m_positionBar->setRange(0, 0);
    // The timer moves the thumb with signals blocked, so what arrives here is the user's doing.
    connect(m_positionBar, &QSlider::sliderReleased, this, &CDlgRecHistory::onPositionReleased);
    connect(m_positionBar, &QSlider::valueChanged, this, [this] {
        if (!m_positionBar->isSliderDown())
            onPositionReleased();
    });

    m_volumeBar = new QSlider(Qt::Horizontal, this);
    m_volumeBar->setTickPosition(QSlider::NoTicks);
    connect(m_volumeBar, &QSlider::valueChanged, this, &CDlgRecHistory::onVolumeChanged);
    m_volumeBar->setRange(0, volumeSteps);
    m_volumeBar->setValue(volumeSteps);
}

void CDlgRecHistory::buildTree()
{
    m_tree->setOwner(this);
    m_summary = m_tree->addItem(nullptr, HistoryItemData::summary(m_counts.get()));
    m_tree->addItem(m_summary, HistoryItemData::day(QString::number(Clock::instance().nowSeconds())));
    m_summary->setExpanded(true);
}

void CDlgRecHistory::restorePosition()
{
    CGeneralProfile& profile = CGeneralProfile::Instance();
    profile.Load();
    if (const std::optional<QPoint> saved = SavedWindowPosition::parse(profile.hispos))
        move(*saved);
}

void CDlgRecHistory::savePosition()
{
    // The profile may already be gone at the very end of the program; making a fresh one
    // here would write its defaults over the user's settings.
    if (!CGeneralProfile::InstanceExists())
        return;
    CGeneralProfile& profile = CGeneralProfile::Instance();
    profile.hispos = SavedWindowPosition::format(geometry());
    profile.setModified();
    profile.Save();
}

void CDlgRecHistory::FillFromStore()
{
    RecordStore& store = RecordStore::Instance();
    const int count = store.Count();
    for (int i = 0; i < count; ++i) {
        RecordEntry entry;
        if (store.GetAt(i, entry))
            AddToTree(entry);
    }
    Recount();
}

QTreeWidgetItem* CDlgRecHistory::FindDayGroup(qint64 time) const
{
    const QDate date = CTreeCtrlBT::localDate(time);
    for (int i = 0; i < m_summary->childCount(); ++i) {
        QTreeWidgetItem* day = m_summary->child(i);
        const HistoryItemData* rowData = CTreeCtrlBT::itemData(day);
        if (rowData && rowData->kind == HistoryItemKind::Day &&
            CTreeCtrlBT::localDate(CTreeCtrlBT::secondsFrom(rowData->time)) == date)
            return day;
    }
    return nullptr;
}

void CDlgRecHistory::AddToTree(const RecordEntry& entry)
{
    const qint64 time = CTreeCtrlBT::secondsFrom(entry.time);
    QTreeWidgetItem* day = FindDayGroup(time);
    if (!day)
        day = m_tree->addItem(m_summary, HistoryItemData::day(entry.time));
    int index = 0;
    while (index < day->childCount() && recordTime(day->child(index)) >= time)
        ++index;
    m_tree->addItem(day, HistoryItemData::record(entry), index);
    day->setExpanded(true);
    m_summary->setExpanded(true);
}

void CDlgRecHistory::Recount()
{
    *m_counts = HistoryCounts{};
    for (QTreeWidgetItemIterator it(m_summary); *it; ++it) {
        if (*it == m_summary || (*it)->parent() == nullptr)
            continue;
        const HistoryItemData* rowData = CTreeCtrlBT::itemData(*it);
        if (!rowData || rowData->kind != HistoryItemKind::Record)
            continue;
        ++m_counts->total;
        if (rowData->entry.isNew)
            ++m_counts->fresh;
    }
    m_tree->viewport()->update();
}

void CDlgRecHistory::SetTopmost(bool topmost)
{
    WindowLayering::setStaysOnTop(this, topmost);
}

bool CDlgRecHistory::isTopmost() const
{
    return WindowLayering::staysOnTop(this);
}

void CDlgRecHistory::placeBeside(const QRect& main, bool docked)
{
    if (docked)
        move(main.left() + qMax(0, (main.width() - width()) / 2), main.top() - height());
    else
        move(main.left(), main.top() + main.height());
}

void CDlgRecHistory::toggleBeside(const QRect& mainWindowFrame, bool docked)
{
    if (isVisible()) {
        hide();
        return;
    }
    placeBeside(mainWindowFrame, docked);
    SetTopmost(docked);
    show();
    raise();
}

void CDlgRecHistory::setDisplayNameResolver(CTreeCtrlBT::DisplayNameResolver resolver)
{
    m_tree->setDisplayNameResolver(std::move(resolver));
}

QTreeWidgetItem* CDlgRecHistory::selectedItem() const
{
    return m_tree->selectedItems().value(0);
}

void CDlgRecHistory::onSelectionChanged()
{
    QTreeWidgetItem* item = selectedItem();
    if (!CTreeCtrlBT::isRecord(item))
        m_playButton->setEnabled(false);
    else if (m_state != PlayerState::Playing && m_state != PlayerState::Paused)
        m_playButton->setEnabled(true);
}

void CDlgRecHistory::setPlayPicture(int id)
{
    m_playPicture = id;
    m_playButton->setBitmaps(id, white);
}

void CDlgRecHistory::setTrackbarPosition(qint64 position)
{
    // Leave the thumb alone while the user holds it.
    if (m_positionBar->isSliderDown())
        return;
    const QSignalBlocker quiet(m_positionBar);
    m_positionBar->setValue(int(qBound<qint64>(0, position, qint64(m_positionBar->maximum()))));
}

void CDlgRecHistory::onPlayClicked()
{
    switch (m_state) {
    case PlayerState::Playing:
        setPlayPicture(PlayPicture);
        m_state = PlayerState::Paused;
        m_player.pause();
        m_playbackTimer.stop();
        m_stopButton->setEnabled(true);
        break;
    case PlayerState::Paused:
        setPlayPicture(PausePicture);
        m_state = PlayerState::Playing;
        m_player.play();
        m_playbackTimer.start();
        m_stopButton->setEnabled(true);
        break;
    case PlayerState::Idle:
    case PlayerState::Stopped:
        startSelectedRecord();
        break;
    }
}

void CDlgRecHistory::startSelectedRecord()
{
    QTreeWidgetItem* item = selectedItem();
    const HistoryItemData* rowData = CTreeCtrlBT::isRecord(item) ? CTreeCtrlBT::itemData(item) : nullptr;
    const QString path = rowData ? rowData->entry.file : QString();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        MessageBoxService::show({this, productName, QStringLiteral("'%1' file not found!").arg(path), MessageIcon::None,
                                 MessageButtons::Ok});
        return;
    }
    m_playing = item;
    setPlayPicture(PausePicture);
    m_player.stop();
    m_player.close();
    m_player.SetMediaPath(path);
    // A file that does not decode leaves the player empty with length 0: the first tick
    // then finds its end.
    const bool opened = m_player.CreatePlaybackWindow();
    m_player.seek(0);
    {
        const QSignalBlocker quiet(m_positionBar);
        m_positionBar->setRange(0, int(qMin<qint64>(m_player.length(), std::numeric_limits<int>::max())));
    }
    setTrackbarPosition(0);
    m_playbackTimer.start();
    m_state = PlayerState::Playing;
    m_player.play();
    m_stopButton->setEnabled(true);
    // Told last, so that whatever happens while the box is open finds the window settled.
    if (!opened)
        MessageBoxService::show({this, productName, QStringLiteral("'%1' cannot be played.").arg(path),
                                 MessageIcon::Warning, MessageButtons::Ok});
}

void CDlgRecHistory::onStopClicked()
{
    if (m_state == PlayerState::Playing || m_state == PlayerState::Paused) {
        m_playbackTimer.stop();
        m_state = PlayerState::Stopped;
        m_player.stop();
        m_player.seek(0);
    }
    setTrackbarPosition(0);
    m_stopButton->setEnabled(false);
    setPlayPicture(PlayPicture);
    if (CTreeCtrlBT::isRecord(selectedItem()))
        m_playButton->setEnabled(true);
}

void CDlgRecHistory::onPlaybackTick()
{
    if (m_state != PlayerState::Playing)
        return;
    const qint64 position = m_player.position();
    setTrackbarPosition(position);
    if (position < m_player.length())
        return;
    m_player.stop();
    m_player.seek(0);
    m_state = PlayerState::Stopped;
    setTrackbarPosition(0);
    setPlayPicture(PlayPicture);
    m_stopButton->setEnabled(false);
    m_playbackTimer.stop();
    if (HistoryItemData* rowData = CTreeCtrlBT::itemData(m_playing)) {
        RecordStore::Instance().MarkPlayed(rowData->entry.name, rowData->entry.time);
        rowData->entry.isNew = false;
        m_tree->viewport()->update(m_tree->visualItemRect(m_playing));
        Recount();
    }
}

void CDlgRecHistory::onPositionReleased()
{
    m_player.seek(m_positionBar->value());
    if (m_state == PlayerState::Playing)
        m_player.play();
}

void CDlgRecHistory::onVolumeChanged(int value)
{
    m_player.setVolume(value * volumeStep);
    m_volumeBar->setToolTip(QString::number(value));
}

bool CDlgRecHistory::event(QEvent* event)
{
    const WindowMessage* message = WindowMessage::from(event);
    if (!message)
        return QWidget::event(event);
    switch (message->message()) {
    case WM_DELETE_RECORD:
        onDeleteRecord(message->wParam(), message->lParam());
        return true;
    case WM_OPEN_RECORD_FOLDER:
        onOpenRecordFolder(m_tree->itemFromMessage(message->wParam(), message->lParam()));
        return true;
    case WM_RECORD_MENU:
        onRecordMenu(message->wParam(), message->lParam());
        return true;
    default:
        return QWidget::event(event);
    }
}

// The row a message names, when it still shows the recording it showed before a menu or a box
// ran its own event loop: the row may have gone meanwhile, and another recording's row may have
// been made in its memory.
HistoryTreeItem* CDlgRecHistory::rowStillShowing(qintptr wParam, qintptr lParam, const RecordEntry& entry) const
{
    HistoryTreeItem* item = m_tree->itemFromMessage(wParam, lParam);
    if (!item || item->itemData().entry.name != entry.name || item->itemData().entry.time != entry.time)
        return nullptr;
    return item;
}

void CDlgRecHistory::onRecordMenu(qintptr wParam, qintptr lParam)
{
    const HistoryTreeItem* asked = m_tree->itemFromMessage(wParam, lParam);
    if (!asked)
        return;
    const RecordEntry entry = asked->itemData().entry;
    CXPMenu menu(this);
    if (m_state == PlayerState::Idle || m_state == PlayerState::Stopped)
        menu.appendItem(MenuPlay, QStringLiteral("Play"), 2000, 2000);
    if (m_state == PlayerState::Playing || m_state == PlayerState::Paused)
        menu.appendItem(MenuStop, QStringLiteral("Stop"), 2001, 2001);
    menu.appendItem(MenuCall, QStringLiteral("Call"), 2002, 2002);
    menu.appendItem(MenuSendIm, QStringLiteral("Send IM"), 2003, 2003);
    menu.appendSeparator();
    menu.appendItem(MenuOpen, QStringLiteral("Open"), 2005, 2005);
    menu.appendItem(MenuDelete, QStringLiteral("Delete"), 2004, 2004);
    const int command = menu.track(QCursor::pos());
    if (!rowStillShowing(wParam, lParam, entry))
        return;
    const QString handles = entry.name;
    switch (command) {
    case MenuPlay:
        onPlayClicked();
        break;
    case MenuStop:
        onStopClicked();
        break;
    case MenuCall:
        if (m_placeCall && !handles.isEmpty())
            m_placeCall(handles);
        break;
    case MenuSendIm:
        if (m_openChat && !handles.isEmpty())
            m_openChat(handles);
        break;
    case MenuOpen:
        PostWindowMessage(this, WM_OPEN_RECORD_FOLDER, wParam, lParam);
        break;
    case MenuDelete:
        PostWindowMessage(this, WM_DELETE_RECORD, wParam, lParam);
        break;
    default:
        break;
    }
}

void CDlgRecHistory::onDeleteRecord(qintptr wParam, qintptr lParam)
{
    const HistoryTreeItem* asked = m_tree->itemFromMessage(wParam, lParam);
    if (!asked)
        return;
    const RecordEntry entry = asked->itemData().entry;
    const MessageResult answer = MessageBoxService::show(
        {this, productName, QStringLiteral("Are you sure you want to delete the selected item?"), MessageIcon::Question,
         MessageButtons::YesNo});
    if (answer != MessageResult::Yes)
        return;
    HistoryTreeItem* item = rowStillShowing(wParam, lParam, entry);
    if (!item)
        return;
    if (!RecordStore::Instance().Remove(entry.name, entry.time))
        return;
    if (!entry.file.isEmpty())
        Shell::instance().moveToTrash(entry.file);
    if (item == m_playing)
        m_playing = nullptr;
    delete item;
    Recount();
}

void CDlgRecHistory::onOpenRecordFolder(HistoryTreeItem* item)
{
    if (item && !item->itemData().entry.file.isEmpty())
        Shell::instance().showInFolder(item->itemData().entry.file);
}

void CDlgRecHistory::layoutControls()
{
    const int w = width(), h = height();
    m_closeButton->move(w - 1 - m_closeButton->width(), 1);
    m_tree->setGeometry(0, titleHeight, w, qMax(0, h - titleHeight - bottomBandHeight));
    const int y = h - bottomRowOffset;
    m_playButton->move(6, y);
    m_stopButton->move(m_playButton->geometry().right() + 1 + 3, y);
    m_speakerButton->move(w - 110, y);
    const int speakerRight = m_speakerButton->geometry().right() + 1;
    m_volumeBar->setGeometry(speakerRight, y, qMax(0, w - 2 - speakerRight), trackbarHeight);
    const int positionLeft = m_stopButton->geometry().right() + 1 + 2;
    m_positionBar->setGeometry(positionLeft, y, qMax(0, m_speakerButton->x() - 2 - positionLeft), trackbarHeight);
}

void CDlgRecHistory::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutControls();
    update();
}

void CDlgRecHistory::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width(), h = height();
    if (!m_titleBand.isNull()) {
        const int last = m_titleBand.width() - titleHeight;
        p.drawImage(QPoint(0, 0), m_titleBand, QRect(0, 0, titleHeight, titleHeight));
        p.drawImage(QRect(titleHeight, 0, qMax(0, w - 2 * titleHeight), titleHeight), m_titleBand,
                    QRect(titleHeight, 0, titleHeight, titleHeight));
        p.drawImage(QPoint(w - titleHeight, 0), m_titleBand, QRect(last, 0, titleHeight, titleHeight));
    }
    p.fillRect(QRect(0, h - bottomBandHeight, w, bottomBandHeight), palette().color(QPalette::Button));

    QFont titleFont = font();
    titleFont.setFamily(QStringLiteral("Arial"));
    p.setFont(titleFont);
    p.setPen(titleText);
    p.drawText(QRect(QPoint(3, 3), QPoint(w - 60 - 1, 20 - 1)), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               QStringLiteral("History"));
}

Qt::Edges CDlgRecHistory::edgesAt(const QPoint& position) const
{
    Qt::Edges edges;
    if (position.x() < resizeMargin)
        edges |= Qt::LeftEdge;
    if (position.x() >= width() - resizeMargin)
        edges |= Qt::RightEdge;
    if (position.y() < resizeMargin)
        edges |= Qt::TopEdge;
    if (position.y() >= height() - resizeMargin)
        edges |= Qt::BottomEdge;
    return edges;
}

void CDlgRecHistory::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    QWindow* window = windowHandle();
    if (edges && window && window->startSystemResize(edges))
        return;
    m_drag.start(this, *event);
}

void CDlgRecHistory::mouseMoveEvent(QMouseEvent* event)
{
    if (m_drag.follow(this, *event))
        return;
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if ((edges & (Qt::LeftEdge | Qt::TopEdge)) == (Qt::LeftEdge | Qt::TopEdge) ||
        (edges & (Qt::RightEdge | Qt::BottomEdge)) == (Qt::RightEdge | Qt::BottomEdge))
        setCursor(Qt::SizeFDiagCursor);
    else if ((edges & (Qt::RightEdge | Qt::TopEdge)) == (Qt::RightEdge | Qt::TopEdge) ||
             (edges & (Qt::LeftEdge | Qt::BottomEdge)) == (Qt::LeftEdge | Qt::BottomEdge))
        setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
}

void CDlgRecHistory::mouseReleaseEvent(QMouseEvent* event)
{
    m_drag.end(*event);
    QWidget::mouseReleaseEvent(event);
}
