#include "StandInWindow.h"

#include "SkypeStandIn.h"
#include "StandInLog.h"

#include <QRegularExpression>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {
struct ReplyFree {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, ReplyFree>;

constexpr uint32_t iconicState = 3;         // WM_STATE as a window manager sets it
constexpr uint32_t userPlacedFlags = 1 | 2; // WM_NORMAL_HINTS: USPosition, USSize
constexpr uint32_t skypeBlue = 0x00aff0;
} // namespace

struct StandInWindow::Display {
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = XCB_WINDOW_NONE;
    xcb_atom_t wmState = XCB_ATOM_NONE;
    xcb_atom_t wmProtocols = XCB_ATOM_NONE;
    xcb_atom_t wmDeleteWindow = XCB_ATOM_NONE;

    ~Display()
    {
        if (connection)
            xcb_disconnect(connection);
    }

    xcb_atom_t atom(const char* name) const
    {
        const auto length = static_cast<uint16_t>(std::strlen(name));
        Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, length, name), nullptr));
        if (!reply)
            return XCB_ATOM_NONE;
        return reply->atom;
    }

    void setText(xcb_atom_t property, xcb_atom_t type, const QByteArray& text) const
    {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            static_cast<uint32_t>(text.size()), text.constData());
    }

    bool isIconic() const
    {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, wmState, wmState, 0, 2), nullptr));
        if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
            return false;
        return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get())) == iconicState;
    }
};

StandInWindow::StandInWindow(SkypeStandIn& skype, StandInLog& log) : m_skype(skype), m_log(log) {}

StandInWindow::~StandInWindow() = default;

std::optional<QRect> StandInWindow::parseGeometry(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QRect rect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    if (rect.width() < 1 || rect.height() < 1 || rect.width() > 10000 || rect.height() > 10000)
        return std::nullopt;
    return rect;
}

bool StandInWindow::open(const QString& className, const QRect& geometry)
{
    auto display = std::make_unique<Display>();
    int screenNumber = 0;
    display->connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(display->connection))
        return false;
    xcb_connection_t* c = display->connection;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0)
        return false;

    display->window = xcb_generate_id(c);
    const uint32_t values[] = {skypeBlue, XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, display->window, screens.data->root, static_cast<int16_t>(geometry.x()),
                      static_cast<int16_t>(geometry.y()), static_cast<uint16_t>(geometry.width()),
                      static_cast<uint16_t>(geometry.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screens.data->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

    // WM_CLASS is the instance's name and the class's, each ending in a zero.
    const QByteArray name = className.toLatin1();
    display->setText(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, name + '\0' + name + '\0');
    display->setText(XCB_ATOM_WM_NAME, XCB_ATOM_STRING, QByteArrayLiteral("Skype (stand-in)"));
    uint32_t hints[18] = {};
    hints[0] = userPlacedFlags;
    hints[1] = static_cast<uint32_t>(geometry.x());
    hints[2] = static_cast<uint32_t>(geometry.y());
    hints[3] = static_cast<uint32_t>(geometry.width());
    hints[4] = static_cast<uint32_t>(geometry.height());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, display->window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32,
                        18, hints);
    display->wmState = display->atom("WM_STATE");
    display->wmProtocols = display->atom("WM_PROTOCOLS");
    display->wmDeleteWindow = display->atom("WM_DELETE_WINDOW");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, display->window, display->wmProtocols, XCB_ATOM_ATOM, 32, 1,
                        &display->wmDeleteWindow);
    xcb_map_window(c, display->window);
    xcb_flush(c);

    m_display = std::move(display);
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(c), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StandInWindow::readEvents);
    m_log.write(QStringLiteral("event"), QStringLiteral("window %1 open at %2,%3 %4x%5")
                                             .arg(className)
                                             .arg(geometry.x())
                                             .arg(geometry.y())
                                             .arg(geometry.width())
                                             .arg(geometry.height()));
    readEvents();
    return true;
}

bool StandInWindow::isOpen() const
{
    return m_display && m_display->window != XCB_WINDOW_NONE;
}

void StandInWindow::readEvents()
{
    if (!m_display)
        return;
    xcb_connection_t* c = m_display->connection;
    while (Reply<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
        if (!isOpen())
            continue;
        switch (event->response_type & 0x7f) {
        case XCB_MAP_NOTIFY:
            reportState(QStringLiteral("NORMAL"));
            break;
        case XCB_UNMAP_NOTIFY:
            reportState(m_display->isIconic() ? QStringLiteral("MINIMIZED") : QStringLiteral("HIDDEN"));
            break;
        case XCB_PROPERTY_NOTIFY: {
            const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
            if (change->atom == m_display->wmState && m_display->isIconic())
                reportState(QStringLiteral("MINIMIZED"));
            break;
        }
        case XCB_CLIENT_MESSAGE: {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
            if (message->type == m_display->wmProtocols && message->data.data32[0] == m_display->wmDeleteWindow)
                closeWindow();
            break;
        }
        case XCB_DESTROY_NOTIFY:
            m_display->window = XCB_WINDOW_NONE;
            m_log.write(QStringLiteral("event"), QStringLiteral("window gone"));
            break;
        default:
            break;
        }
    }
    if (xcb_connection_has_error(c)) {
        m_notifier->setEnabled(false);
        m_display->window = XCB_WINDOW_NONE;
        m_log.write(QStringLiteral("event"), QStringLiteral("display gone"));
    }
}

void StandInWindow::reportState(const QString& state)
{
    if (state == m_state)
        return;
    m_state = state;
    m_log.write(QStringLiteral("event"), QStringLiteral("window ") + state);
    m_skype.notifyAttached(QStringLiteral("WINDOWSTATE ") + state);
}

// Closed from its title bar, the window goes away as Skype's does when it quits to the tray.
void StandInWindow::closeWindow()
{
    xcb_destroy_window(m_display->connection, m_display->window);
    xcb_flush(m_display->connection);
}
