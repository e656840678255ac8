#include "ui/CKCBusyProgressCtrl.h"

#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"

#include <QPainter>

namespace {
// Window messages carry colours as 0x00BBGGRR.
QColor fromColorRef(qintptr value)
{
    return QColor(static_cast<int>(value & 0xff), static_cast<int>((value >> 8) & 0xff),
                  static_cast<int>((value >> 16) & 0xff));
}
} // namespace

CKCBusyProgressCtrl::CKCBusyProgressCtrl(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("mProgressCtrl"));
    m_background = palette().color(QPalette::Button);
    m_timer.setInterval(m_interval);
    connect(&m_timer, &QTimer::timeout, this, &CKCBusyProgressCtrl::onAnimationTick);
    recalcSize();
}

void CKCBusyProgressCtrl::setBlocks(int blocks)
{
    m_blocks = qMax(1, blocks);
    if (m_fillType == ProgressFill)
        m_fillExtent = m_fillLength * m_blocks;
    recalcSize();
}

void CKCBusyProgressCtrl::setPosition(int position)
{
    m_position = position;
    update();
}

void CKCBusyProgressCtrl::setGap(int gap)
{
    m_gap = qMax(0, gap);
    recalcSize();
}

void CKCBusyProgressCtrl::setInterval(int milliseconds)
{
    m_interval = qMax(1, milliseconds);
    m_timer.setInterval(m_interval);
}

void CKCBusyProgressCtrl::setRange(int low, int high)
{
    m_low = low;
    m_high = high;
    update();
}

void CKCBusyProgressCtrl::setMode(int mode)
{
    stop();
    if (mode != BusyMode && mode != ProgressMode)
        return;
    m_mode = mode;
    if (mode == ProgressMode)
        m_direction = 1;
    update();
}

void CKCBusyProgressCtrl::setBusyType(int type)
{
    if (m_mode != BusyMode || (type != BounceType && type != ForwardType && type != BackwardType))
        return;
    m_busyType = type;
    if (type == ForwardType)
        m_direction = 1;
    else if (type == BackwardType)
        m_direction = -1;
}

void CKCBusyProgressCtrl::setBusyFillType(int type)
{
    if (m_mode != BusyMode || (type != SingleBlockFill && type != ProgressFill))
        return;
    m_fillType = type;
    if (type == ProgressFill)
        m_fillExtent = m_fillLength * m_blocks;
    update();
}

void CKCBusyProgressCtrl::setFillLength(int blocks)
{
    if (m_mode != BusyMode)
        return;
    m_fillLength = qMax(1, blocks);
    if (m_fillType == ProgressFill)
        m_fillExtent = m_fillLength * m_blocks;
}

void CKCBusyProgressCtrl::setBackgroundColour(const QColor& colour)
{
    m_systemBackground = false;
    m_background = colour;
    update();
}

void CKCBusyProgressCtrl::setBlockFillColour(const QColor& colour)
{
    m_blockFill = colour;
    update();
}

void CKCBusyProgressCtrl::setBlockBorderColour(const QColor& colour)
{
    m_blockBorder = colour;
    update();
}

void CKCBusyProgressCtrl::setHighlightFillColour(const QColor& colour)
{
    m_highlightFill = colour;
    update();
}

void CKCBusyProgressCtrl::setHighlightBorderColour(const QColor& colour)
{
    m_highlightBorder = colour;
    update();
}

void CKCBusyProgressCtrl::useSystemBackground(bool on)
{
    m_systemBackground = on;
    if (on)
        m_background = palette().color(QPalette::Button);
    update();
}

void CKCBusyProgressCtrl::start()
{
    if (m_mode != BusyMode)
        return;
    stop();
    m_timer.start(m_interval);
}

void CKCBusyProgressCtrl::stop()
{
    m_timer.stop();
}

// The last position the animation reaches, and where a backward run starts again.
int CKCBusyProgressCtrl::lastPosition() const
{
    return m_fillType == ProgressFill ? m_fillExtent : m_blocks - 1;
}

int CKCBusyProgressCtrl::endPosition() const
{
    return m_fillType == ProgressFill ? m_fillExtent : m_blocks;
}

void CKCBusyProgressCtrl::step()
{
    switch (m_busyType) {
    case BounceType:
        if (m_direction > 0 && m_position >= lastPosition())
            m_direction = -1;
        else if (m_direction < 0 && m_position <= 0)
            m_direction = 1;
        m_position = qBound(0, m_position + m_direction, qMax(0, lastPosition()));
        break;
    case ForwardType:
        m_position = m_position >= lastPosition() ? 0 : m_position + 1;
        break;
    case BackwardType:
        m_position = m_position <= 0 ? endPosition() : m_position - 1;
        break;
    }
    update();
}

void CKCBusyProgressCtrl::reset()
{
    if (m_mode == BusyMode && m_busyType == BackwardType) {
        m_position = endPosition();
        m_direction = -1;
    } else {
        m_position = 0;
        m_direction = 1;
    }
    update();
}

void CKCBusyProgressCtrl::recalcSize()
{
    m_blockWidth = qMax(0, (width() - m_blocks * m_gap) / m_blocks);
    m_blockHeight = height();
    update();
}

void CKCBusyProgressCtrl::onAnimationTick()
{
    step();
}

bool CKCBusyProgressCtrl::fillsLikeProgress() const
{
    return m_mode == ProgressMode || m_fillType == ProgressFill;
}

double CKCBusyProgressCtrl::filledBlocks() const
{
    const int extent = m_mode == ProgressMode ? m_high - m_low : m_fillExtent;
    if (extent <= 0)
        return 0;
    return qBound(0.0, double(m_position) / extent * m_blocks, double(m_blocks));
}

void CKCBusyProgressCtrl::paintBlock(QPainter& p, const QRect& block, const QColor& border, const QColor& fill) const
{
    p.fillRect(block, border);
    p.fillRect(block.adjusted(1, 1, -1, -1), fill);
}

void CKCBusyProgressCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_background);
    if (m_blockWidth <= 0 || m_blockHeight <= 0)
        return;
    const double filled = fillsLikeProgress() ? filledBlocks() : 0;
    const int full = static_cast<int>(filled);
    for (int i = 0; i < m_blocks; ++i) {
        const QRect block(i * (m_blockWidth + m_gap), 0, m_blockWidth, m_blockHeight);
        const bool lit = fillsLikeProgress() ? i < full : i == m_position;
        paintBlock(p, block, lit ? m_highlightBorder : m_blockBorder, lit ? m_highlightFill : m_blockFill);
        if (fillsLikeProgress() && i == full) {
            const QRect inside = block.adjusted(1, 1, -1, -1);
            const int part = static_cast<int>((filled - full) * inside.width());
            if (part > 0)
                p.fillRect(QRect(inside.topLeft(), QSize(part, inside.height())), m_highlightFill);
        }
    }
}

void CKCBusyProgressCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    recalcSize();
}

void CKCBusyProgressCtrl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && m_systemBackground)
        m_background = palette().color(QPalette::Button);
    QWidget::changeEvent(event);
}

bool CKCBusyProgressCtrl::event(QEvent* event)
{
    if (const WindowMessage* message = WindowMessage::from(event))
        if (handleMessage(message->message(), message->wParam(), message->lParam()))
            return true;
    return QWidget::event(event);
}

bool CKCBusyProgressCtrl::handleMessage(int message, qintptr wParam, qintptr lParam)
{
    const int value = static_cast<int>(wParam);
    switch (message) {
    case WM_BUSY_SET_BLOCKS:
        setBlocks(value);
        break;
    case WM_BUSY_SET_POSITION:
        setPosition(value);
        break;
    case WM_BUSY_SET_GAP:
        setGap(value);
        break;
    case WM_BUSY_SET_INTERVAL:
        setInterval(value);
        break;
    case WM_BUSY_SET_RANGE:
        setRange(value, static_cast<int>(lParam));
        break;
    case WM_BUSY_SET_MODE:
        setMode(value);
        break;
    case WM_BUSY_START:
        start();
        break;
    case WM_BUSY_STOP:
        stop();
        break;
    case WM_BUSY_STEP:
        step();
        break;
    case WM_BUSY_SET_BUSY_TYPE:
        setBusyType(value);
        break;
    case WM_BUSY_SET_FILL_TYPE:
        setBusyFillType(value);
        break;
    case WM_BUSY_SET_FILL_LENGTH:
        setFillLength(value);
        break;
    case WM_BUSY_SET_BACKGROUND:
        setBackgroundColour(fromColorRef(wParam));
        break;
    case WM_BUSY_SET_BLOCK_FILL:
        setBlockFillColour(fromColorRef(wParam));
        break;
    case WM_BUSY_SET_BLOCK_BORDER:
        setBlockBorderColour(fromColorRef(wParam));
        break;
    case WM_BUSY_SET_HIGHLIGHT_FILL:
        setHighlightFillColour(fromColorRef(wParam));
        break;
    case WM_BUSY_SET_HIGHLIGHT_BORDER:
        setHighlightBorderColour(fromColorRef(wParam));
        break;
    case WM_BUSY_RECALC_SIZE:
        recalcSize();
        break;
    case WM_BUSY_RESET:
        reset();
        break;
    case WM_BUSY_USE_SYSTEM_BACKGROUND:
        useSystemBackground(value != 0);
        break;
    default:
        return false;
    }
    return true;
}
