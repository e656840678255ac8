#pragma once

#include "history/RecordEntry.h"

#include <QString>
#include <QtGlobal>

// What a row of the history tree stands for.
enum class HistoryItemKind { Summary = 0, Day = 1, Record = 3 };

// The history window's counters shown on the Summary row: every Record row, and those whose
// recording has not been played to its end yet.
struct HistoryCounts {
    qint32 total = 0;
    qint32 fresh = 0;
};

// The data behind one row of the history tree; the tree draws every row from it.
struct HistoryItemData {
    HistoryItemKind kind = HistoryItemKind::Record;
    HistoryCounts* counts = nullptr; // Summary: the history window's counters (owned by the window)
    QString time;                    // Day: seconds since 1970 UTC of a moment of that day
    RecordEntry entry;               // Record: the tree's own copy of the record

    static HistoryItemData summary(HistoryCounts* counts) { return {HistoryItemKind::Summary, counts, {}, {}}; }
    static HistoryItemData day(const QString& time) { return {HistoryItemKind::Day, nullptr, time, {}}; }
    static HistoryItemData record(const RecordEntry& entry) { return {HistoryItemKind::Record, nullptr, {}, entry}; }
};
