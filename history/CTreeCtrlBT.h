#pragma once

#include "history/HistoryItemData.h"

#include <QDate>
#include <QFont>
#include <QList>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QTreeWidget>
#include <functional>

// A row of the history tree with the data it is drawn from; the data lives and dies with the row.
class HistoryTreeItem : public QTreeWidgetItem {
public:
    explicit HistoryTreeItem(const HistoryItemData& data);

    HistoryItemData& itemData() { return m_data; }
    const HistoryItemData& itemData() const { return m_data; }

private:
    HistoryItemData m_data;
};

// The texts one row shows; empty where the row has no such text.
struct HistoryRowTexts {
    QString label;    // Summary: "Total n records"; Day: its date label
    QString badge;    // Summary: "n new" while there are recordings not yet heard
    QString names;    // Record: the partners' display names
    QString time;     // Record: the start time of day
    QString duration; // Record: the length within a day
};

// The history window's tree. It carries no item text: it paints every row itself from the
// row's HistoryItemData (the Summary with its counts, one row per day, one per recording) and
// offers two small buttons on recording rows, delete and show in folder, which post
// WM_DELETE_RECORD and WM_OPEN_RECORD_FOLDER to the owner; a right click on a recording posts
// WM_RECORD_MENU. Each message carries the row (wParam) and its data (lParam).
class CTreeCtrlBT : public QTreeWidget {
    Q_OBJECT

public:
    static constexpr int rowHeight = 20;
    static constexpr int levelIndent = 19;

    // Turns a record's partner handles ("a,b") into the names shown for them.
    using DisplayNameResolver = std::function<QString(const QString& handleList)>;
    enum class RowButton { None, Delete, OpenFolder };

    explicit CTreeCtrlBT(QWidget* parent = nullptr);

    void setOwner(QObject* owner) { m_owner = owner; }
    QObject* owner() const { return m_owner; }

    // Without a resolver (or with an empty one) every handle shows as itself.
    void setDisplayNameResolver(DisplayNameResolver resolver);
    // The handles of the list, empty pieces skipped, joined with " | ".
    static QString handlesAsNames(const QString& handleList);

    // Adds a row under parent (a top-level row when parent is null) at index, or last.
    HistoryTreeItem* addItem(QTreeWidgetItem* parent, const HistoryItemData& rowData, int index = -1);
    static HistoryItemData* itemData(QTreeWidgetItem* item);
    static const HistoryItemData* itemData(const QTreeWidgetItem* item);
    static bool isRecord(const QTreeWidgetItem* item);

    // The row a window message names, when it is still in this tree with that same data;
    // null for a row deleted since the message was posted.
    HistoryTreeItem* itemFromMessage(qintptr wParam, qintptr lParam) const;

    // What the row shows, with "today" taken from the program's clock.
    HistoryRowTexts rowTexts(const QTreeWidgetItem* item) const;
    // "Today", "Yesterday" or the local date "%Y-%m-%d" of dayTime, seen on the day of now.
    static QString dayLabel(qint64 dayTime, qint64 now);
    // Local time of day "%p %I:%M:%S", for example "PM 03:30:12".
    static QString timeOfDay(qint64 time);
    // "   %H:%M:%S" of the seconds within a day.
    static QString durationText(qint64 seconds);
    // The local calendar day of a time in seconds since 1970 UTC.
    static QDate localDate(qint64 seconds);
    // A decimal text as a number: leading digits count, anything else reads 0.
    static qint64 secondsFrom(const QString& text);

    // Row geometry in viewport coordinates.
    QRect rowRect(const QTreeWidgetItem* item) const;
    QRect rowButtonRect(const QTreeWidgetItem* item, RowButton button) const;
    // The button area of a recording row under the point, if any.
    RowButton rowButtonAt(const QPoint& viewportPosition) const;
    // The recording row whose button area the pointer was last over, and which area.
    QTreeWidgetItem* buttonRow() const { return itemFromIndex(m_buttonRow); }
    RowButton hoveredButton() const { return m_hoveredButton; }

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    struct RowFrame {
        int g = 0;  // the paint area's left edge
        int e = 0;  // the paint area's right edge
        QRect row;  // the whole row
        QRect text; // the item's text rectangle, narrowed by one pixel at top and bottom
    };

    RowFrame frameOf(const QTreeWidgetItem* item, const QRect& row) const;
    int paintAreaWidth() const;
    void paintSummary(QPainter& p, const RowFrame& f, const QTreeWidgetItem* item) const;
    void paintDay(QPainter& p, const RowFrame& f, const QTreeWidgetItem* item) const;
    void paintRecord(QPainter& p, const RowFrame& f, const QTreeWidgetItem* item, bool selected) const;
    void paintRowButtons(QPainter& p, const QTreeWidgetItem* item, bool selected) const;
    QString displayNames(const QString& handleList) const;
    void updateRowButtons(const QTreeWidgetItem* item);
    void onPointerLeft();
    void post(int message, QTreeWidgetItem* item) const;

    QPointer<QObject> m_owner;
    DisplayNameResolver m_resolver;
    QFont m_dayFont;
    QFont m_rowFont;
    QList<QPixmap> m_glyphs; // collapsed, expanded
    QPixmap m_summaryIcon;
    QList<QPixmap> m_directions; // outgoing, incoming, outgoing new, incoming new
    QList<QPixmap> m_rowButtons; // delete selected, delete other, folder selected, folder other

    // Rows remembered across pointer moves; they turn invalid when their row is deleted.
    QPersistentModelIndex m_lastRow;
    QPersistentModelIndex m_buttonRow;
    RowButton m_hoveredButton = RowButton::None;
    QPoint m_lastPointer;
};
