#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>

class QSocketNotifier;
class SkypeStandIn;
class StandInLog;

// The stand-in's main window on the desktop, of window class "tSkMainForm" unless told
// otherwise, so the recorder can find it and stick to it. When it is minimised, hidden or shown
// again it tells the attached programs with "WINDOWSTATE MINIMIZED", "HIDDEN" or "NORMAL";
// closing it (or its disappearing) is logged. Drawing it is the desktop's business: it is a
// plain coloured window.
class StandInWindow : public QObject {
    Q_OBJECT

public:
    StandInWindow(SkypeStandIn& skype, StandInLog& log);
    ~StandInWindow() override;

    // Opens the window; false when there is no display to open it on.
    bool open(const QString& className, const QRect& geometry);
    bool isOpen() const;

    // "WxH+X+Y", as X11 programs take their geometry; nothing when it is not one.
    static std::optional<QRect> parseGeometry(const QString& text);

private:
    struct Display;

    void readEvents();
    void reportState(const QString& state);
    void closeWindow();

    SkypeStandIn& m_skype;
    StandInLog& m_log;
    std::unique_ptr<Display> m_display;
    QSocketNotifier* m_notifier = nullptr;
    QString m_state;
};
