#include "app/window_system.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef HOOPCAST_HAVE_XCB
#include <xcb/xcb.h>
#endif
#ifdef HOOPCAST_HAVE_WAYLAND
#include <qpa/qplatformnativeinterface.h>
#include <wayland-client-core.h>
#endif

namespace hoopcast::app {

namespace {

// A resize step wider than any screen (and within Qt's 16 bits for it): while normal, the
// window manager offers maximizing (a window of fixed size hints loses that on most of
// them), yet an edge drag cannot reach any size but the base one.
constexpr int kNoResizeStep = 30000;

// The frame as Qt has it: Qt's own decorations on Wayland, its reading elsewhere.
QMargins qt_frame(const QWidget& window) {
    if (const QWindow* handle = window.windowHandle()) {
        if (QGuiApplication::platformName() == QLatin1String("wayland")) return handle->frameMargins();
    }
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return QMargins(std::max(0, inner.left() - outer.left()), std::max(0, inner.top() - outer.top()),
                    std::max(0, outer.right() - inner.right()), std::max(0, outer.bottom() - inner.bottom()));
}

// The window's state as last asked for or told: a maximize button's request is known here
// before the compositor answers it.
Qt::WindowStates states(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle != nullptr ? handle->windowStates() : window.windowState();
}

}  // namespace

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

// More states than any window manager sets at once.
constexpr std::uint32_t kMaxStates = 64;

}  // namespace

WindowSystem::WindowSystem() {
    if (QGuiApplication::platformName() == QLatin1String("wayland")) platform_ = Platform::wayland;
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) return;
    platform_ = Platform::x11;
    connection_ = x11->connection();
    atoms_.frame_extents = atom(connection_, "_NET_FRAME_EXTENTS");
    atoms_.state = atom(connection_, "_NET_WM_STATE");
    atoms_.maximized_vert = atom(connection_, "_NET_WM_STATE_MAXIMIZED_VERT");
    atoms_.maximized_horz = atom(connection_, "_NET_WM_STATE_MAXIMIZED_HORZ");
    atoms_.fullscreen = atom(connection_, "_NET_WM_STATE_FULLSCREEN");
    atoms_.wm_check = atom(connection_, "_NET_SUPPORTING_WM_CHECK");
    atoms_.supported = atom(connection_, "_NET_SUPPORTED");
}

// Whether the window manager says it announces frames (XWayland's window manager draws
// one and does not).
bool WindowSystem::x11_announces_frames() const {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(xcb(connection_))).data;
    if (screen == nullptr) return false;
    const PropertyReply reply = property(connection_, screen->root, atoms_.supported, XCB_ATOM_ATOM, 1024);
    if (!reply || reply->format != 32) return false;
    const auto count = static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return std::find(atoms, atoms + count, atoms_.frame_extents) != atoms + count;
}

bool WindowSystem::x11_window_manager_running() const {
    if (connection_ == nullptr || atoms_.wm_check == 0) return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(xcb(connection_))).data;
    if (screen == nullptr) return false;
    const PropertyReply reply = property(connection_, screen->root, atoms_.wm_check, XCB_ATOM_WINDOW, 1);
    return reply && xcb_get_property_value_length(reply.get()) == 4;
}

WindowFacts WindowSystem::facts(const QWidget& window) const {
    WindowFacts facts;
    facts.client = window.size();
    if (platform_ != Platform::x11 || !x11_window_manager_running()) {
        facts.maximized = (states(window) & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
        facts.frame = qt_frame(window);
        return facts;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (const PropertyReply extents = property(connection_, id, atoms_.frame_extents, XCB_ATOM_CARDINAL, 4);
        extents && extents->format == 32 && xcb_get_property_value_length(extents.get()) == 16) {
        std::uint32_t v[4];  // left, right, top, bottom
        std::memcpy(v, xcb_get_property_value(extents.get()), sizeof v);
        facts.frame = QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                               static_cast<int>(v[3]));
    } else if (!x11_announces_frames()) {
        // What Qt reads of such a frame holds its shadow too: the window is taken as frameless.
        facts.frame = QMargins();
    }
    bool vert = false, horz = false, full = false;
    if (const PropertyReply states = property(connection_, id, atoms_.state, XCB_ATOM_ATOM, kMaxStates);
        states && states->format == 32) {
        const auto count = static_cast<std::size_t>(xcb_get_property_value_length(states.get())) / 4;
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(states.get()));
        for (std::size_t i = 0; i < count; ++i) {
            vert = vert || atoms[i] == atoms_.maximized_vert;
            horz = horz || atoms[i] == atoms_.maximized_horz;
            full = full || atoms[i] == atoms_.fullscreen;
        }
    }
    facts.maximized = full || (vert && horz);
    facts.one_way_maximized = !facts.maximized && (vert || horz);
    return facts;
}

bool WindowSystem::announces_news(const QByteArray& event_type, const void* message) const {
    if (platform_ != Platform::x11 || event_type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
    const xcb_atom_t changed = static_cast<const xcb_property_notify_event_t*>(message)->atom;
    return changed == atoms_.frame_extents || changed == atoms_.state;
}

#else

WindowSystem::WindowSystem() {
    if (QGuiApplication::platformName() == QLatin1String("wayland")) platform_ = Platform::wayland;
}
bool WindowSystem::x11_window_manager_running() const {
    return false;
}
WindowFacts WindowSystem::facts(const QWidget& window) const {
    WindowFacts facts;
    facts.client = window.size();
    facts.maximized = (states(window) & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
    facts.frame = qt_frame(window);
    return facts;
}
bool WindowSystem::announces_news(const QByteArray&, const void*) const {
    return false;
}

#endif

bool WindowSystem::sizes_windows() const {
    return platform_ == Platform::wayland || x11_window_manager_running();
}

void WindowSystem::hold_size(QWidget& window, std::optional<QSize> client, QMargins frame) {
    if (platform_ == Platform::wayland) {
        hold_wayland_size(window, client ? std::optional(client->grownBy(frame)) : std::nullopt);
        return;
    }
    if (platform_ != Platform::x11) return;
    // Each change is a message to the window manager.
    const QSize base = client.value_or(QSize(0, 0));
    const QSize step = client ? QSize(kNoResizeStep, kNoResizeStep) : QSize(0, 0);
    if (window.baseSize() != base) window.setBaseSize(base);
    if (window.sizeIncrement() != step) window.setSizeIncrement(step);
}

#ifdef HOOPCAST_HAVE_WAYLAND

namespace {
// Requests of xdg_toplevel, by their number in the xdg-shell protocol.
constexpr std::uint32_t kSetMaxSize = 7;
constexpr std::uint32_t kSetMinSize = 8;
}  // namespace

// The compositor is told a minimum and a maximum of the window's outer size; equal, the size
// is fixed. They go to the surface itself, not through Qt's own minimum and maximum: Qt
// holds the window to those also against the compositor's word, and a maximized window that
// keeps a size of its own is an error the compositor ends the program for.
void WindowSystem::hold_wayland_size(QWidget& window, std::optional<QSize> outer) {
    if (outer == held_outer_) return;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    void* toplevel = native != nullptr && window.windowHandle() != nullptr
                         ? native->nativeResourceForWindow("xdg_toplevel", window.windowHandle())
                         : nullptr;
    if (toplevel == nullptr) return;
    held_outer_ = outer;
    auto* proxy = static_cast<wl_proxy*>(toplevel);
    const QSize size = outer.value_or(QSize(0, 0));  // 0: no bound
    wl_proxy_marshal_flags(proxy, kSetMinSize, nullptr, wl_proxy_get_version(proxy), 0, size.width(),
                           size.height());
    wl_proxy_marshal_flags(proxy, kSetMaxSize, nullptr, wl_proxy_get_version(proxy), 0, size.width(),
                           size.height());
    // The bounds take effect with the surface's next commit.
    window.update();
}

#else

void WindowSystem::hold_wayland_size(QWidget&, std::optional<QSize>) {}

#endif

// Qt knows the window as normal while it is maximized one way only, so it asks for both.
void WindowSystem::maximize_fully(QWidget& window) const {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}

}  // namespace hoopcast::app
