#include "app/x11_frame.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef HOOPCAST_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace hoopcast::app {

#ifdef HOOPCAST_HAVE_XCB

namespace {
xcb_connection_t* xcb(void* connection) {
    return static_cast<xcb_connection_t*>(connection);
}

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, FreeReply>;

std::uint32_t atom(void* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(xcb(connection), 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(
        xcb_intern_atom_reply(xcb(connection), cookie, nullptr));
    return reply ? reply->atom : 0;
}

PropertyReply property(void* connection, xcb_window_t window, std::uint32_t name, xcb_atom_t type,
                       std::uint32_t words) {
    const auto cookie = xcb_get_property(xcb(connection), 0, window, name, type, 0, words);
    return PropertyReply(xcb_get_property_reply(xcb(connection), cookie, nullptr));
}
}  // namespace

X11Frame::X11Frame() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) return;
    connection_ = x11->connection();
    atom_ = atom(connection_, "_NET_FRAME_EXTENTS");
    check_atom_ = atom(connection_, "_NET_SUPPORTING_WM_CHECK");
}

bool X11Frame::window_manager_running() const {
    if (connection_ == nullptr || check_atom_ == 0) return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(xcb(connection_))).data;
    if (screen == nullptr) return false;
    const PropertyReply reply = property(connection_, screen->root, check_atom_, XCB_ATOM_WINDOW, 1);
    return reply && xcb_get_property_value_length(reply.get()) == 4;
}

std::optional<QMargins> X11Frame::extents(const QWidget& window) const {
    if (connection_ == nullptr || atom_ == 0) return std::nullopt;
    const PropertyReply reply =
        property(connection_, static_cast<xcb_window_t>(window.winId()), atom_, XCB_ATOM_CARDINAL, 4);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    std::uint32_t v[4];  // left, right, top, bottom
    std::memcpy(v, xcb_get_property_value(reply.get()), sizeof v);
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                    static_cast<int>(v[3]));
}

bool X11Frame::announces_new_frame(const QByteArray& event_type, const void* message) const {
    if (atom_ == 0 || event_type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
    return static_cast<const xcb_property_notify_event_t*>(message)->atom == atom_;
}

#else

X11Frame::X11Frame() = default;
bool X11Frame::window_manager_running() const {
    return false;
}
std::optional<QMargins> X11Frame::extents(const QWidget&) const {
    return std::nullopt;
}
bool X11Frame::announces_new_frame(const QByteArray&, const void*) const {
    return false;
}

#endif

}  // namespace hoopcast::app
