#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QNetworkAccessManager;
class QNetworkReply;

// Once per run, ten seconds after start, asks the product's web site whether another version
// is published (ver.ini) and whether there is a notice for the users (notice.ini). A different
// version leads to a message and the download page; a flagged notice is shown and may lead to
// its web page. Everything runs asynchronously on the user-interface thread; every request has
// a time limit, reads at most 4096 bytes and fails silently.
class CAutoUpdater : public QObject {
    Q_OBJECT
public:
    enum CheckKind { VersionCheck = 0, NoticeCheck = 1 };
    enum Result {
        Pending = -1,     // the check has not ended (or not run)
        Done = 0,         // nothing new, or the notice was handled or not flagged
        NoConnection = 1, // the system reports no network connection
        CannotOpen = 2,   // the address could not be fetched: refused, HTTP error, time limit
        NothingRead = 3,  // nothing read, or the version text is empty or an HTML page
        NewVersion = 8,   // the published version differs from this program's
    };

    static constexpr int StartDelayMs = 10000;
    static constexpr int DefaultTimeLimitMs = 15000;
    static constexpr qint64 MaxReadBytes = 4096;

    // owner: the window that owns the new-version message box (not the notice box).
    explicit CAutoUpdater(QObject* owner = nullptr, QObject* parent = nullptr);
    // Aborts a request still under way at once.
    ~CAutoUpdater() override;

    // Arms the start delay. The checks run once per run, whatever is called again.
    void start();
    // What the start-delay timer calls: runs the version check, then the notice check.
    void onStartTick();
    // What the time-limit timer calls: gives up the request under way.
    void onRequestTimeout();

    // Time allowed to each request from sending it to the last byte.
    void setTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }

    Result result(CheckKind kind) const { return m_results[kind]; }
    bool isFinished() const { return m_finished; }

signals:
    void finished();

private:
    void Check(CheckKind kind);
    void onReadyRead();
    void onReplyFinished();
    void endRequest(Result result);
    Result outcome(QNetworkReply* reply) const;
    void releaseReply();

    QPointer<QObject> m_owner;
    QNetworkAccessManager* m_manager;
    QNetworkReply* m_reply = nullptr;
    CheckKind m_kind = VersionCheck;
    QByteArray m_data;
    QTimer m_startTimer;
    QTimer m_requestTimer;
    int m_timeLimitMs = DefaultTimeLimitMs;
    bool m_ran = false;
    bool m_finished = false;
    Result m_results[2] = {Pending, Pending};
};
