#include "ui/CTaskbarNotifier.h"

#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "ui/RectEdges.h"
#include "ui/SkinPictures.h"

#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>

using RectEdges::bottomOf;
using RectEdges::rightOf;

namespace {
CTaskbarNotifier::Desktop primaryDesktop()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return {screen->geometry(), screen->availableGeometry()};
}

constexpr Qt::WindowFlags popupFlags =
    Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
} // namespace

CTaskbarNotifier::CTaskbarNotifier() : QWidget(nullptr, popupFlags), m_desktop(primaryDesktop)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_stayTimer.setSingleShot(true);
    m_stayTimer.setTimerType(Qt::PreciseTimer); // a restarted stay must really start over
    m_appearTimer.setTimerType(Qt::PreciseTimer);
    m_disappearTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_appearTimer, &QTimer::timeout, this, &CTaskbarNotifier::onAppearTick);
    connect(&m_stayTimer, &QTimer::timeout, this, &CTaskbarNotifier::onStayElapsed);
    connect(&m_disappearTimer, &QTimer::timeout, this, &CTaskbarNotifier::onDisappearTick);
}

bool CTaskbarNotifier::CreatePopup(QWidget* owner)
{
    m_owner = owner;
    setParent(owner, popupFlags);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::PointingHandCursor);
    setGeometry(0, 0, 0, 0);
    return true;
}

bool CTaskbarNotifier::LoadSkin(int bitmapId, const QColor& transparent)
{
    return LoadSkin(SkinPictures::image(bitmapId), transparent);
}

bool CTaskbarNotifier::LoadSkin(const QImage& skin, const QColor& transparent)
{
    m_skin = QPixmap();
    if (skin.isNull()) {
        clearMask();
        update();
        return false;
    }
    m_skin = QPixmap::fromImage(skin);
    m_textArea = QRect(QPoint(0, 0), skin.size());
    setMask(SkinPictures::windowRegion(skin, transparent));
    update();
    return true;
}

void CTaskbarNotifier::SetFonts()
{
    QFont arial(QStringLiteral("Arial"), 10, QFont::Bold);
    SetFonts(arial, arial);
}

void CTaskbarNotifier::SetFonts(const QFont& normal, const QFont& hover)
{
    m_normalFont = normal;
    m_hoverFont = hover;
    update();
}

void CTaskbarNotifier::SetTextColours(const QColor& normal, const QColor& hover)
{
    m_normalColour = normal;
    m_hoverColour = hover;
    update();
}

void CTaskbarNotifier::SetTextArea(const QRect& area)
{
    m_textArea = area;
    update();
}

void CTaskbarNotifier::setDesktopSource(DesktopSource source)
{
    m_desktop = source ? std::move(source) : DesktopSource(primaryDesktop);
}

CTaskbarNotifier::TaskbarEdge CTaskbarNotifier::edgeOf(const Desktop& desktop)
{
    const QRect& work = desktop.workArea;
    const QRect& screen = desktop.screen;
    if (work.width() < screen.width())
        return work.left() == screen.left() ? TaskbarEdge::Right : TaskbarEdge::Left;
    if (work.height() < screen.height() && work.top() != screen.top())
        return TaskbarEdge::Top;
    return TaskbarEdge::Bottom;
}

void CTaskbarNotifier::ShowMessage(const QString& text)
{
    m_text = text;
    if (m_skin.isNull())
        return;
    const Desktop desktop = m_desktop();
    switch (m_state) {
    case AnimState::Hidden:
        startShowing(desktop);
        break;
    case AnimState::Appearing:
        update();
        break;
    case AnimState::Waiting: // the stay may be over already, with the first step back still to come
    case AnimState::Disappearing:
        snapBackOut(desktop);
        break;
    }
}

void CTaskbarNotifier::startShowing(const Desktop& desktop)
{
    const QRect& work = desktop.workArea;
    const int w = m_skin.width(), h = m_skin.height();
    m_edge = edgeOf(desktop);
    const bool side = m_edge == TaskbarEdge::Left || m_edge == TaskbarEdge::Right;
    // A skin narrower than one step still slides in a single step.
    const int steps = qMax(1, (side ? w : h) / m_step);
    m_showPeriod = timeToShow / steps;
    m_hidePeriod = timeToHide / steps;
    switch (m_edge) {
    case TaskbarEdge::Right:
        m_startX = rightOf(work);
        m_startY = bottomOf(work) - h;
        break;
    case TaskbarEdge::Left:
        m_startX = work.left() - w;
        m_startY = bottomOf(work) - h;
        break;
    case TaskbarEdge::Top:
        m_startX = rightOf(work) - w;
        m_startY = work.top() - h;
        break;
    default:
        m_startX = rightOf(work) - w - 2;
        m_startY = bottomOf(work);
        break;
    }
    m_currentX = m_startX;
    m_currentY = m_startY;
    moveToCurrent();
    show();
    m_appearTimer.start(m_showPeriod);
}

// A second message while the popup is out or slides back puts it fully out again for a full stay.
void CTaskbarNotifier::snapBackOut(const Desktop& desktop)
{
    const QRect& work = desktop.workArea;
    m_disappearTimer.stop();
    m_stayTimer.start(timeToStay);
    m_state = AnimState::Waiting;
    switch (m_edge) {
    case TaskbarEdge::Right:
        m_currentX = rightOf(work) - m_skin.width();
        break;
    case TaskbarEdge::Left:
        m_currentX = work.left();
        break;
    case TaskbarEdge::Top:
        m_currentY = work.top();
        break;
    default:
        m_currentY = bottomOf(work) - m_skin.height();
        break;
    }
    moveToCurrent();
    update();
}

void CTaskbarNotifier::onAppearTick()
{
    m_state = AnimState::Appearing;
    const int w = m_skin.width(), h = m_skin.height();
    bool shown = false;
    switch (m_edge) {
    case TaskbarEdge::Top:
        shown = !(m_currentY - m_startY < h);
        if (!shown)
            m_currentY += m_step;
        break;
    case TaskbarEdge::Left:
        shown = !(m_currentX - m_startX < w);
        if (!shown)
            m_currentX += m_step;
        break;
    case TaskbarEdge::Right:
        shown = !(m_currentX > m_startX - w);
        if (!shown)
            m_currentX -= m_step;
        break;
    default:
        shown = !(m_currentY > m_startY - h);
        if (!shown)
            m_currentY -= m_step;
        break;
    }
    if (shown) {
        m_appearTimer.stop();
        m_stayTimer.start(timeToStay);
        m_state = AnimState::Waiting;
    }
    moveToCurrent();
}

void CTaskbarNotifier::onStayElapsed()
{
    m_stayTimer.stop();
    m_disappearTimer.start(m_hidePeriod);
}

void CTaskbarNotifier::onDisappearTick()
{
    m_state = AnimState::Disappearing;
    bool hidden = false;
    switch (m_edge) {
    case TaskbarEdge::Top:
        hidden = !(m_currentY > m_startY);
        if (!hidden)
            m_currentY -= m_step;
        break;
    case TaskbarEdge::Left:
        hidden = !(m_currentX > m_startX);
        if (!hidden)
            m_currentX -= m_step;
        break;
    case TaskbarEdge::Right:
        hidden = !(m_currentX < m_startX);
        if (!hidden)
            m_currentX += m_step;
        break;
    default:
        hidden = !(m_currentY < m_startY);
        if (!hidden)
            m_currentY += m_step;
        break;
    }
    if (hidden) {
        m_disappearTimer.stop();
        HideNow();
        return;
    }
    moveToCurrent();
}

void CTaskbarNotifier::HideNow()
{
    m_appearTimer.stop();
    m_stayTimer.stop();
    m_disappearTimer.stop();
    setGeometry(0, 0, 0, 0);
    hide();
    m_state = AnimState::Hidden;
}

int CTaskbarNotifier::activeTimer() const
{
    if (m_appearTimer.isActive())
        return 1;
    if (m_stayTimer.isActive())
        return 2;
    if (m_disappearTimer.isActive())
        return 3;
    return 0;
}

void CTaskbarNotifier::moveToCurrent()
{
    setGeometry(m_currentX, m_currentY, m_skin.width(), m_skin.height());
}

void CTaskbarNotifier::setHovered(bool hovered)
{
    if (m_hovered == hovered)
        return;
    m_hovered = hovered;
    repaint();
}

void CTaskbarNotifier::enterEvent(QEnterEvent* event)
{
    setHovered(true);
    QWidget::enterEvent(event);
}

void CTaskbarNotifier::leaveEvent(QEvent* event)
{
    setHovered(false);
    QWidget::leaveEvent(event);
}

void CTaskbarNotifier::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        PostWindowMessage(m_owner, WM_NOTIFIER_CLICKED, 0, 0);
    QWidget::mouseReleaseEvent(event);
}

void CTaskbarNotifier::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, m_skin);
    drawText(p);
}

// The text centred in the text area, wrapped at word boundaries; what does not fit ends in an
// ellipsis; a single line is also centred vertically.
void CTaskbarNotifier::drawText(QPainter& p) const
{
    const QFont& font = m_hovered ? m_hoverFont : m_normalFont;
    p.setFont(font);
    p.setPen(m_hovered ? m_hoverColour : m_normalColour);
    const QFontMetrics metrics(font);
    const int width = m_textArea.width();
    if (width <= 0 || m_text.isEmpty())
        return;

    QTextLayout layout(m_text, font);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << m_text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();

    const int fitting = qMax(1, m_textArea.height() / metrics.lineSpacing());
    if (lines.size() > fitting) {
        QString rest = lines.mid(fitting - 1).join(QLatin1Char(' '));
        lines = lines.mid(0, fitting - 1);
        lines << metrics.elidedText(rest, Qt::ElideRight, width);
    }
    int y = m_textArea.top();
    if (lines.size() == 1)
        y += (m_textArea.height() - metrics.height()) / 2;
    for (const QString& line : std::as_const(lines)) {
        p.drawText(QRect(m_textArea.left(), y, width, metrics.height()), Qt::AlignHCenter | Qt::AlignTop, line);
        y += metrics.lineSpacing();
    }
}
