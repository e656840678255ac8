#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <functional>

// The small skinned popup that slides out of the taskbar's edge of the screen, shows a short
// text for six seconds and slides back. A click on it is posted to its owner as
// WM_NOTIFIER_CLICKED; the popup itself does not react. Without a skin ShowMessage shows
// nothing (the popup would have no size).
class CTaskbarNotifier : public QWidget {
    Q_OBJECT

public:
    enum class AnimState { Hidden = 0, Appearing = 1, Waiting = 2, Disappearing = 3 };
    enum class TaskbarEdge { None = 0, Top = 1, Left = 2, Right = 3, Bottom = 4 };

    // The desktop as the popup sees it: the screen and its work area (the screen without the
    // taskbar), in global coordinates.
    struct Desktop {
        QRect screen;
        QRect workArea;
    };
    using DesktopSource = std::function<Desktop()>;

    static constexpr int timeToShow = 500;
    static constexpr int timeToStay = 6000;
    static constexpr int timeToHide = 500;

    CTaskbarNotifier();

    bool CreatePopup(QWidget* owner);
    // The popup's picture; pixels of exactly the transparent colour are holes in the popup.
    bool LoadSkin(int bitmapId, const QColor& transparent);
    bool LoadSkin(const QImage& skin, const QColor& transparent);
    void SetFonts(); // bold Arial 10 pt, the same with and without the pointer over it
    void SetFonts(const QFont& normal, const QFont& hover);
    void SetTextColours(const QColor& normal, const QColor& hover);
    void SetTextArea(const QRect& area);
    void ShowMessage(const QString& text);
    void HideNow();

    // Where the desktop comes from; tests give their own.
    void setDesktopSource(DesktopSource source);
    static TaskbarEdge edgeOf(const Desktop& desktop);

    // What the three timers call: one appearing step, the end of the stay, one disappearing step.
    void onAppearTick();
    void onStayElapsed();
    void onDisappearTick();

    AnimState state() const { return m_state; }
    TaskbarEdge taskbarEdge() const { return m_edge; }
    QPoint startPosition() const { return {m_startX, m_startY}; }
    QPoint currentPosition() const { return {m_currentX, m_currentY}; }
    int showPeriod() const { return m_showPeriod; }
    int hidePeriod() const { return m_hidePeriod; }
    int step() const { return m_step; }
    QString text() const { return m_text; }
    QRect textArea() const { return m_textArea; }
    QSize skinSize() const { return m_skin.size(); }
    bool isHovered() const { return m_hovered; }
    QColor currentTextColour() const { return m_hovered ? m_hoverColour : m_normalColour; }
    // 1 appearing, 2 staying, 3 disappearing, 0 none.
    int activeTimer() const;
    bool isDisappearTimerActive() const { return m_disappearTimer.isActive(); }
    // Milliseconds left of the current stay, -1 when the popup is not staying.
    int stayTimeLeft() const { return m_stayTimer.remainingTime(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void moveToCurrent();
    void startShowing(const Desktop& desktop);
    void snapBackOut(const Desktop& desktop);
    void setHovered(bool hovered);
    void drawText(QPainter& p) const;

    QPointer<QWidget> m_owner;
    QFont m_normalFont;
    QFont m_hoverFont;
    QColor m_normalColour{133, 146, 181};
    QColor m_hoverColour{10, 36, 106};
    QPixmap m_skin;
    QRect m_textArea;
    QString m_text;
    bool m_hovered = false;
    AnimState m_state = AnimState::Hidden;
    int m_showPeriod = 0;
    int m_hidePeriod = 0;
    int m_startX = 0, m_startY = 0;
    int m_currentX = 0, m_currentY = 0;
    TaskbarEdge m_edge = TaskbarEdge::None;
    int m_step = 2;
    QTimer m_appearTimer;
    QTimer m_stayTimer;
    QTimer m_disappearTimer;
    DesktopSource m_desktop;
};
