#include "platform/SkypeWindowFinder.h"

#include <QByteArray>
#include <QList>
#include <QMargins>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

struct ConnectionCloser {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionCloser>;

struct ReplyFree {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, ReplyFree>;

// The Skype client's window on an X11 desktop, found by its WM_CLASS. Positions are those of the
// window's frame: the window manager's decoration (_NET_FRAME_EXTENTS) counts as part of it, as
// the frame does on other desktops. The finder keeps its own connection to the display.
class X11SkypeWindowFinder : public SkypeWindowFinder {
public:
    X11SkypeWindowFinder();

    WindowId findSkypeWindow() override;
    std::optional<QRect> windowRect(WindowId window) override;
    bool moveWindow(WindowId window, const QRect& rect) override;
    void showNormalAndRaise(WindowId window) override;

private:
    xcb_atom_t atom(const char* name) const;
    QList<xcb_window_t> topLevelWindows() const;
    QList<xcb_window_t> windowList(xcb_window_t window, xcb_atom_t property) const;
    QList<xcb_window_t> childrenOf(const QList<xcb_window_t>& parents) const;
    QList<QByteArrayList> classesOf(const QList<xcb_window_t>& windows) const;
    QMargins frameExtents(xcb_window_t window) const;

    Connection m_connection;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_clientList = XCB_ATOM_NONE;
    xcb_atom_t m_frameExtents = XCB_ATOM_NONE;
    xcb_atom_t m_activeWindow = XCB_ATOM_NONE;
};

X11SkypeWindowFinder::X11SkypeWindowFinder()
{
    int screenNumber = 0;
    Connection connection(xcb_connect(nullptr, &screenNumber));
    if (!connection || xcb_connection_has_error(connection.get()))
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0)
        return;
    m_root = screens.data->root;
    m_connection = std::move(connection);
    m_clientList = atom("_NET_CLIENT_LIST");
    m_frameExtents = atom("_NET_FRAME_EXTENTS");
    m_activeWindow = atom("_NET_ACTIVE_WINDOW");
}

// Only atoms that exist: a name no window manager announced has nothing to read.
xcb_atom_t X11SkypeWindowFinder::atom(const char* name) const
{
    const auto length = static_cast<uint16_t>(std::strlen(name));
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(m_connection.get(), xcb_intern_atom(m_connection.get(), 1, length, name), nullptr));
    if (!reply)
        return XCB_ATOM_NONE;
    return reply->atom;
}

SkypeWindowFinder::WindowId X11SkypeWindowFinder::findSkypeWindow()
{
    if (!m_connection)
        return 0;
    const QList<xcb_window_t> windows = topLevelWindows();
    const QList<QByteArrayList> classes = classesOf(windows);
    for (const QString& name : skypeClassNames()) {
        const QByteArray wanted = name.toLatin1();
        for (int i = 0; i < windows.size(); ++i)
            if (classes[i].contains(wanted))
                return windows[i];
    }
    return 0;
}

// The window manager's list of application windows; without a window manager that keeps one,
// the root's children and their children (the windows a decorating manager put in frames).
QList<xcb_window_t> X11SkypeWindowFinder::topLevelWindows() const
{
    if (m_clientList != XCB_ATOM_NONE) {
        const QList<xcb_window_t> clients = windowList(m_root, m_clientList);
        if (!clients.isEmpty())
            return clients;
    }
    const QList<xcb_window_t> children = childrenOf({m_root});
    return children + childrenOf(children);
}

QList<xcb_window_t> X11SkypeWindowFinder::windowList(xcb_window_t window, xcb_atom_t property) const
{
    xcb_connection_t* c = m_connection.get();
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_WINDOW, 0, 4096), nullptr));
    QList<xcb_window_t> windows;
    if (!reply || reply->format != 32)
        return windows;
    const auto* values = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_window_t));
    for (int i = 0; i < count; ++i)
        windows.append(values[i]);
    return windows;
}

QList<xcb_window_t> X11SkypeWindowFinder::childrenOf(const QList<xcb_window_t>& parents) const
{
    xcb_connection_t* c = m_connection.get();
    QList<xcb_query_tree_cookie_t> cookies;
    for (xcb_window_t parent : parents)
        cookies.append(xcb_query_tree(c, parent));
    QList<xcb_window_t> children;
    for (const xcb_query_tree_cookie_t& cookie : cookies) {
        Reply<xcb_query_tree_reply_t> reply(xcb_query_tree_reply(c, cookie, nullptr));
        if (!reply)
            continue;
        const xcb_window_t* list = xcb_query_tree_children(reply.get());
        for (int i = 0; i < xcb_query_tree_children_length(reply.get()); ++i)
            children.append(list[i]);
    }
    return children;
}

// WM_CLASS holds two zero-terminated names, the instance's and the class's; either may match.
QList<QByteArrayList> X11SkypeWindowFinder::classesOf(const QList<xcb_window_t>& windows) const
{
    xcb_connection_t* c = m_connection.get();
    QList<xcb_get_property_cookie_t> cookies;
    for (xcb_window_t window : windows)
        cookies.append(xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256));
    QList<QByteArrayList> classes;
    for (const xcb_get_property_cookie_t& cookie : cookies) {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
        QByteArrayList names;
        if (reply && reply->format == 8) {
            const QByteArray value(static_cast<const char*>(xcb_get_property_value(reply.get())),
                                   xcb_get_property_value_length(reply.get()));
            names = value.split('\0');
        }
        classes.append(names);
    }
    return classes;
}

QMargins X11SkypeWindowFinder::frameExtents(xcb_window_t window) const
{
    if (m_frameExtents == XCB_ATOM_NONE)
        return {};
    xcb_connection_t* c = m_connection.get();
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, m_frameExtents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 16)
        return {};
    const auto* e = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3])); // left, right, top, bottom
}

std::optional<QRect> X11SkypeWindowFinder::windowRect(WindowId window)
{
    if (!m_connection || window == 0)
        return std::nullopt;
    xcb_connection_t* c = m_connection.get();
    const auto id = static_cast<xcb_window_t>(window);
    const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(c, id);
    const xcb_translate_coordinates_cookie_t placeCookie = xcb_translate_coordinates(c, id, m_root, 0, 0);
    Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometryCookie, nullptr));
    Reply<xcb_translate_coordinates_reply_t> place(xcb_translate_coordinates_reply(c, placeCookie, nullptr));
    if (!geometry || !place)
        return std::nullopt;
    const QRect client(place->dst_x, place->dst_y, geometry->width, geometry->height);
    return client.marginsAdded(frameExtents(id));
}

// With the usual north-west gravity the window manager puts the frame's corner where the
// request puts the window; the size asked for is the window's own, without the frame.
bool X11SkypeWindowFinder::moveWindow(WindowId window, const QRect& rect)
{
    if (!m_connection || window == 0)
        return false;
    xcb_connection_t* c = m_connection.get();
    const auto id = static_cast<xcb_window_t>(window);
    const QRect client = rect.marginsRemoved(frameExtents(id));
    const uint32_t values[] = {static_cast<uint32_t>(rect.x()), static_cast<uint32_t>(rect.y()),
                               static_cast<uint32_t>(qMax(1, client.width())),
                               static_cast<uint32_t>(qMax(1, client.height()))};
    const uint16_t mask =
        XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
    Reply<xcb_generic_error_t> error(xcb_request_check(c, xcb_configure_window_checked(c, id, mask, values)));
    return !error;
}

void X11SkypeWindowFinder::showNormalAndRaise(WindowId window)
{
    if (!m_connection || window == 0)
        return;
    xcb_connection_t* c = m_connection.get();
    const auto id = static_cast<xcb_window_t>(window);
    xcb_map_window(c, id); // also brings a minimised window back
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(c, id, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    if (m_activeWindow != XCB_ATOM_NONE) {
        xcb_client_message_event_t activate{};
        activate.response_type = XCB_CLIENT_MESSAGE;
        activate.format = 32;
        activate.window = id;
        activate.type = m_activeWindow;
        activate.data.data32[0] = 2; // asked for on the user's behalf, like a pager
        activate.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&activate));
    }
    xcb_flush(c);
}

} // namespace

std::unique_ptr<SkypeWindowFinder> SkypeWindowFinder::create()
{
    return std::make_unique<X11SkypeWindowFinder>();
}
