#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// A bar of separate blocks, used as the level meters of the main window (progress mode: the
// blocks fill like a progress bar) and able to run a busy animation (a highlighted block that
// bounces, runs forwards or runs backwards). Configured by its methods or, as its owners may
// post them, by the WM_BUSY_* window messages (wParam carries the value).
class CKCBusyProgressCtrl : public QWidget {
    Q_OBJECT

public:
    enum Mode { BusyMode = 1, ProgressMode = 2 };
    enum BusyType { BounceType = 1, ForwardType = 2, BackwardType = 4 };
    enum FillType { SingleBlockFill = 1, ProgressFill = 2 };

    explicit CKCBusyProgressCtrl(QWidget* parent = nullptr);

    void setBlocks(int blocks);
    int blocks() const { return m_blocks; }
    // The current block (busy mode) or the value shown (progress mode); repaints.
    void setPosition(int position);
    int position() const { return m_position; }
    int direction() const { return m_direction; }
    void setGap(int gap);
    int gap() const { return m_gap; }
    void setInterval(int milliseconds);
    int interval() const { return m_interval; }
    void setRange(int low, int high);
    int rangeLow() const { return m_low; }
    int rangeHigh() const { return m_high; }
    // Stops the animation; only 1 or 2 is taken, and progress mode restarts the direction.
    void setMode(int mode);
    int mode() const { return m_mode; }
    void setBusyType(int type); // busy mode only; 1, 2 or 4
    int busyType() const { return m_busyType; }
    void setBusyFillType(int type); // busy mode only; 1 or 2
    int busyFillType() const { return m_fillType; }
    void setFillLength(int blocks); // busy mode only
    int fillLength() const { return m_fillLength; }
    int fillExtent() const { return m_fillExtent; }

    void setBackgroundColour(const QColor& colour);
    void setBlockFillColour(const QColor& colour);
    void setBlockBorderColour(const QColor& colour);
    void setHighlightFillColour(const QColor& colour);
    void setHighlightBorderColour(const QColor& colour);
    // Follow the system's button face colour (now and on every palette change).
    void useSystemBackground(bool on);
    QColor backgroundColour() const { return m_background; }

    void start(); // busy mode only
    void stop();
    bool isRunning() const { return m_timer.isActive(); }
    void step(); // one animation step and a repaint
    void reset();
    void recalcSize();

    int blockWidth() const { return m_blockWidth; }
    int blockHeight() const { return m_blockHeight; }
    // How many blocks the current value fills entirely, and the fraction of the next one.
    double filledBlocks() const;

    // What the animation timer calls.
    void onAnimationTick();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool handleMessage(int message, qintptr wParam, qintptr lParam);
    int lastPosition() const;
    int endPosition() const;
    bool fillsLikeProgress() const;
    void paintBlock(QPainter& p, const QRect& block, const QColor& border, const QColor& fill) const;

    int m_blocks = 10;
    int m_position = 0;
    int m_direction = 1;
    int m_gap = 1;
    int m_mode = BusyMode;
    int m_busyType = BounceType;
    int m_fillType = SingleBlockFill;
    int m_fillLength = 5;
    int m_fillExtent = 0;
    int m_interval = 50;
    int m_low = 0;
    int m_high = 100;
    int m_blockWidth = 0;
    int m_blockHeight = 0;
    bool m_systemBackground = true;
    QColor m_background;
    QColor m_blockFill{160, 190, 220};
    QColor m_blockBorder{50, 90, 135};
    QColor m_highlightFill{0, 200, 0};
    QColor m_highlightBorder{0, 200, 0};
    QTimer m_timer;
};
