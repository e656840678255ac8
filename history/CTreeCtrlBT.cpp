#include "history/CTreeCtrlBT.h"

#include "platform/Clock.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "ui/SkinPictures.h"

#include <QDateTime>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <cstdlib>

namespace {
const QColor rowLineColour(235, 235, 235);
const QColor summaryFill(238, 238, 238);
const QColor selectionBand(51, 150, 253);
const QColor badgeFill(252, 140, 5);
const QColor greyText(128, 128, 128);
const QColor greyTextSelected(228, 228, 228);
const QColor white(255, 255, 255);

constexpr int glyphCollapsed = 0, glyphExpanded = 1;
constexpr int deleteSelected = 0, deleteOther = 1, folderSelected = 2, folderOther = 3;
constexpr int recordIndent = 16; // where the row line and the band of a recording row begin
constexpr int textFlags = Qt::AlignVCenter | Qt::TextSingleLine;

QFont rowFont(int weight)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(15);
    font.setWeight(QFont::Weight(weight));
    return font;
}

int floorHalf(int value)
{
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

void drawElided(QPainter& p, const QRect& area, int alignment, const QString& text)
{
    const QString shown = p.fontMetrics().elidedText(text, Qt::ElideRight, qMax(0, area.width()));
    p.drawText(area, alignment | textFlags, shown);
}
} // namespace

HistoryTreeItem::HistoryTreeItem(const HistoryItemData& data) : m_data(data)
{
    setSizeHint(0, QSize(0, CTreeCtrlBT::rowHeight));
}

CTreeCtrlBT::CTreeCtrlBT(QWidget* parent) : QTreeWidget(parent), m_dayFont(rowFont(700)), m_rowFont(rowFont(500))
{
    setHeaderHidden(true);
    setColumnCount(1);
    header()->setStretchLastSection(true);
    setRootIsDecorated(false);
    setIndentation(levelIndent);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setMouseTracking(true);
    setAllColumnsShowFocus(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, white);
    pal.setColor(QPalette::Text, Qt::black);
    setPalette(pal);

    const QColor key = white;
    m_glyphs = {SkinPictures::keyed(SkinPictures::image(1016), key),
                SkinPictures::keyed(SkinPictures::image(1017), key)};
    m_summaryIcon = SkinPictures::keyed(SkinPictures::image(1035), key);
    m_directions = SkinPictures::imageList(SkinPictures::image(1033), 16, key);
    m_rowButtons = SkinPictures::imageList(SkinPictures::image(1034), 14, selectionBand);
}

void CTreeCtrlBT::setDisplayNameResolver(DisplayNameResolver resolver)
{
    m_resolver = std::move(resolver);
    viewport()->update();
}

QString CTreeCtrlBT::handlesAsNames(const QString& handleList)
{
    return handleList.split(QLatin1Char(','), Qt::SkipEmptyParts).join(QStringLiteral(" | "));
}

HistoryTreeItem* CTreeCtrlBT::addItem(QTreeWidgetItem* parent, const HistoryItemData& rowData, int index)
{
    auto* item = new HistoryTreeItem(rowData);
    if (parent) {
        parent->insertChild(index < 0 ? parent->childCount() : qMin(index, parent->childCount()), item);
    } else {
        insertTopLevelItem(index < 0 ? topLevelItemCount() : qMin(index, topLevelItemCount()), item);
    }
    return item;
}

HistoryItemData* CTreeCtrlBT::itemData(QTreeWidgetItem* item)
{
    auto* row = dynamic_cast<HistoryTreeItem*>(item);
    return row ? &row->itemData() : nullptr;
}

const HistoryItemData* CTreeCtrlBT::itemData(const QTreeWidgetItem* item)
{
    const auto* row = dynamic_cast<const HistoryTreeItem*>(item);
    return row ? &row->itemData() : nullptr;
}

bool CTreeCtrlBT::isRecord(const QTreeWidgetItem* item)
{
    const HistoryItemData* rowData = itemData(item);
    return rowData && rowData->kind == HistoryItemKind::Record;
}

HistoryTreeItem* CTreeCtrlBT::itemFromMessage(qintptr wParam, qintptr lParam) const
{
    if (!wParam || !lParam)
        return nullptr;
    // The message may have waited in the queue while rows were deleted: look the row up
    // among the living ones instead of trusting the pointer.
    for (QTreeWidgetItemIterator it(const_cast<CTreeCtrlBT*>(this)); *it; ++it) {
        if (reinterpret_cast<qintptr>(*it) != wParam)
            continue;
        auto* row = dynamic_cast<HistoryTreeItem*>(*it);
        return row && reinterpret_cast<qintptr>(&row->itemData()) == lParam ? row : nullptr;
    }
    return nullptr;
}

QString CTreeCtrlBT::dayLabel(qint64 dayTime, qint64 now)
{
    const QDate day = localDate(dayTime);
    const QDate today = localDate(now);
    if (day == today)
        return QStringLiteral("Today");
    if (today.isValid() && day == today.addDays(-1))
        return QStringLiteral("Yesterday");
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

QString CTreeCtrlBT::timeOfDay(qint64 time)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(time);
    if (!local.isValid())
        return {};
    const QTime t = local.time();
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return QStringLiteral("%1 %2:%3:%4")
        .arg(t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"))
        .arg(hour12, 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.second(), 2, 10, QLatin1Char('0'));
}

QString CTreeCtrlBT::durationText(qint64 seconds)
{
    // A hand-edited negative duration shows as nothing rather than as a nonsense clock.
    const qint64 withinDay = qMax<qint64>(0, seconds) % 86400;
    return QStringLiteral("   %1:%2:%3")
        .arg(withinDay / 3600, 2, 10, QLatin1Char('0'))
        .arg(withinDay / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(withinDay % 60, 2, 10, QLatin1Char('0'));
}

QDate CTreeCtrlBT::localDate(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).date();
}

qint64 CTreeCtrlBT::secondsFrom(const QString& text)
{
    return std::strtoll(text.toLatin1().constData(), nullptr, 10);
}

QString CTreeCtrlBT::displayNames(const QString& handleList) const
{
    if (handleList.isEmpty())
        return QStringLiteral("Null");
    const QString names = m_resolver ? m_resolver(handleList) : handlesAsNames(handleList);
    return names.isEmpty() ? QStringLiteral("Null") : names;
}

HistoryRowTexts CTreeCtrlBT::rowTexts(const QTreeWidgetItem* item) const
{
    HistoryRowTexts texts;
    const HistoryItemData* rowData = itemData(item);
    if (!rowData)
        return texts;
    switch (rowData->kind) {
    case HistoryItemKind::Summary: {
        const HistoryCounts counts = rowData->counts ? *rowData->counts : HistoryCounts{};
        texts.label = QStringLiteral("Total %1 records").arg(counts.total);
        if (counts.fresh > 0)
            texts.badge = QStringLiteral("%1 new").arg(counts.fresh);
        break;
    }
    case HistoryItemKind::Day:
        texts.label = dayLabel(secondsFrom(rowData->time), Clock::instance().nowSeconds());
        break;
    case HistoryItemKind::Record:
        texts.names = displayNames(rowData->entry.name);
        texts.time = timeOfDay(secondsFrom(rowData->entry.time));
        texts.duration = durationText(rowData->entry.duration);
        break;
    }
    return texts;
}

int CTreeCtrlBT::paintAreaWidth() const
{
    return qMax(viewport()->width(), header()->length());
}

QRect CTreeCtrlBT::rowRect(const QTreeWidgetItem* item) const
{
    const QRect cell = visualItemRect(item);
    if (!cell.isValid())
        return {};
    const int g = -horizontalOffset();
    return QRect(g, cell.top(), paintAreaWidth(), cell.height());
}

CTreeCtrlBT::RowFrame CTreeCtrlBT::frameOf(const QTreeWidgetItem* item, const QRect& row) const
{
    RowFrame f;
    f.g = -horizontalOffset();
    f.e = f.g + paintAreaWidth();
    f.row = QRect(f.g, row.top(), f.e - f.g, row.height());
    const QRect cell = visualItemRect(item);
    f.text = QRect(QPoint(cell.left(), row.top() + 1), QPoint(f.e - 1, row.bottom() - 1));
    return f;
}

QRect CTreeCtrlBT::rowButtonRect(const QTreeWidgetItem* item, RowButton button) const
{
    const QRect row = rowRect(item);
    if (!row.isValid() || button == RowButton::None)
        return {};
    const int right = row.left() + row.width();
    const int left = button == RowButton::Delete ? right - 19 : right - 39;
    return QRect(left, row.top(), 14, row.height());
}

CTreeCtrlBT::RowButton CTreeCtrlBT::rowButtonAt(const QPoint& position) const
{
    QTreeWidgetItem* item = itemAt(position);
    if (!isRecord(item))
        return RowButton::None;
    for (RowButton button : {RowButton::Delete, RowButton::OpenFolder})
        if (rowButtonRect(item, button).contains(position))
            return button;
    return RowButton::None;
}

void CTreeCtrlBT::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QTreeWidgetItem* item = itemFromIndex(index);
    const HistoryItemData* rowData = itemData(item);
    if (!rowData)
        return;
    QPainter& p = *painter;
    p.save();
    const RowFrame f = frameOf(item, option.rect);
    const bool selected = selectionModel()->isSelected(index);
    const bool record = rowData->kind == HistoryItemKind::Record;

    p.setPen(rowLineColour);
    p.drawLine(record ? f.g + recordIndent : f.g, f.row.bottom(), f.e - 1, f.row.bottom());

    const int glyphTop = f.row.top() + (f.row.height() - 16) / 2;
    if (item->childCount() > 0 || !item->parent()) {
        if (rowData->kind == HistoryItemKind::Summary)
            p.fillRect(QRect(f.g, f.row.top(), f.e - f.g, f.row.height() - 1), summaryFill);
        else if (rowData->kind == HistoryItemKind::Day)
            p.drawPixmap(2, glyphTop, m_glyphs.value(item->isExpanded() ? glyphExpanded : glyphCollapsed));
    } else if (rowData->kind == HistoryItemKind::Day) {
        p.drawPixmap(2, glyphTop, m_glyphs.value(glyphExpanded));
    } else if (record && selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(selectionBand);
        p.drawRoundedRect(QRect(f.g + recordIndent, f.row.top(), f.e - f.g - recordIndent, f.row.height()), 1.5, 1.5);
    }

    switch (rowData->kind) {
    case HistoryItemKind::Summary:
        paintSummary(p, f, item);
        break;
    case HistoryItemKind::Day:
        paintDay(p, f, item);
        break;
    case HistoryItemKind::Record:
        paintRecord(p, f, item, selected);
        paintRowButtons(p, item, selected);
        break;
    }
    p.restore();
}

void CTreeCtrlBT::paintSummary(QPainter& p, const RowFrame& f, const QTreeWidgetItem* item) const
{
    const HistoryRowTexts texts = rowTexts(item);
    p.setFont(m_rowFont);
    p.setPen(Qt::black);
    p.drawPixmap(f.text.left(), f.text.top(), m_summaryIcon);
    const QRect label(QPoint(f.text.left() + 18, f.text.top()), f.text.bottomRight());
    drawElided(p, label, Qt::AlignLeft, texts.label);
    if (texts.badge.isEmpty())
        return;
    const QString& badge = texts.badge;
    const int right = f.text.right() + 1;
    const QRect box(QPoint(right - p.fontMetrics().horizontalAdvance(badge) - 20, f.text.top()),
                    QPoint(right - 2 - 1, f.text.bottom()));
    p.setPen(Qt::NoPen);
    p.setBrush(badgeFill);
    p.drawRoundedRect(box, 2.5, 2.5);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, badge);
}

void CTreeCtrlBT::paintDay(QPainter& p, const RowFrame& f, const QTreeWidgetItem* item) const
{
    p.setFont(m_dayFont);
    p.setPen(Qt::black);
    drawElided(p, f.text, Qt::AlignLeft, rowTexts(item).label);
}

void CTreeCtrlBT::paintRecord(QPainter& p, const RowFrame& f, const QTreeWidgetItem* item, bool selected) const
{
    const HistoryItemData& rowData = *itemData(item);
    const HistoryRowTexts texts = rowTexts(item);
    const int left = f.text.left();
    const int right = f.text.right() + 1;
    const int x0 = left - floorHalf(left);
    const int w5 = (right - x0) / 5;

    const RecordEntry& entry = rowData.entry;
    int icon = -1;
    if (entry.type == 1)
        icon = entry.isNew ? 3 : 1;
    else if (entry.type == 2)
        icon = entry.isNew ? 2 : 0;
    if (icon >= 0)
        p.drawPixmap(x0, f.text.top(), m_directions.value(icon));

    const int top = f.text.top(), height = f.text.height();
    p.setFont(m_rowFont);
    p.setPen(selected ? white : QColor(Qt::black));
    drawElided(p, QRect(x0 + 20, top, 2 * w5, height), Qt::AlignLeft, texts.names);
    p.setPen(selected ? greyTextSelected : greyText);
    drawElided(p, QRect(x0 + 20 + 2 * w5, top, w5, height), Qt::AlignHCenter, texts.time);
    drawElided(p, QRect(x0 + 20 + 3 * w5, top, w5, height), Qt::AlignHCenter, texts.duration);
}

void CTreeCtrlBT::paintRowButtons(QPainter& p, const QTreeWidgetItem* item, bool selected) const
{
    const QRect deleteArea = rowButtonRect(item, RowButton::Delete);
    const QRect folderArea = rowButtonRect(item, RowButton::OpenFolder);
    if (selected) {
        p.drawPixmap(deleteArea.left(), deleteArea.top() + 2, m_rowButtons.value(deleteSelected));
        p.drawPixmap(folderArea.left(), folderArea.top() + 2, m_rowButtons.value(folderSelected));
    }
    if (item != buttonRow() || m_hoveredButton == RowButton::None)
        return;
    if (m_hoveredButton == RowButton::Delete)
        p.drawPixmap(deleteArea.left(), deleteArea.top() + 2,
                     m_rowButtons.value(selected ? deleteSelected : deleteOther));
    else
        p.drawPixmap(folderArea.left(), folderArea.top() + 2,
                     m_rowButtons.value(selected ? folderSelected : folderOther));
}

void CTreeCtrlBT::mouseMoveEvent(QMouseEvent* event)
{
    QTreeWidget::mouseMoveEvent(event);
    const QPoint position = event->position().toPoint();
    m_lastPointer = position;
    QTreeWidgetItem* row = itemAt(position);
    const RowButton button = rowButtonAt(position);
    if (button != RowButton::None) {
        if (row != buttonRow() || button != m_hoveredButton) {
            updateRowButtons(buttonRow());
            m_buttonRow = indexFromItem(row);
            m_hoveredButton = button;
            updateRowButtons(row);
        }
    } else if (m_hoveredButton != RowButton::None) {
        m_hoveredButton = RowButton::None;
        updateRowButtons(buttonRow());
    }
    if (row != itemFromIndex(m_lastRow)) {
        m_lastRow = indexFromItem(row);
        viewport()->update();
    }
}

void CTreeCtrlBT::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton) {
        QTreeWidget::mousePressEvent(event);
        return;
    }
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (!isRecord(item))
        return;
    setCurrentItem(item);
    post(WM_RECORD_MENU, item);
}

void CTreeCtrlBT::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint position = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(position);
    if (!item || item != buttonRow())
        return;
    switch (rowButtonAt(position)) {
    case RowButton::Delete:
        post(WM_DELETE_RECORD, item);
        break;
    case RowButton::OpenFolder:
        post(WM_OPEN_RECORD_FOLDER, item);
        break;
    case RowButton::None:
        break;
    }
}

bool CTreeCtrlBT::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave)
        onPointerLeft();
    return QTreeWidget::viewportEvent(event);
}

void CTreeCtrlBT::updateRowButtons(const QTreeWidgetItem* item)
{
    if (item)
        viewport()->update(rowButtonRect(item, RowButton::Delete) | rowButtonRect(item, RowButton::OpenFolder));
}

void CTreeCtrlBT::onPointerLeft()
{
    updateRowButtons(buttonRow());
    m_hoveredButton = RowButton::None;
    m_lastRow = QPersistentModelIndex();
}

void CTreeCtrlBT::post(int message, QTreeWidgetItem* item) const
{
    HistoryItemData* rowData = itemData(item);
    if (!m_owner || !rowData)
        return;
    PostWindowMessage(m_owner, message, reinterpret_cast<qintptr>(item), reinterpret_cast<qintptr>(rowData));
}
