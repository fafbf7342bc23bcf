#pragma once
// What the window system tells of the main window (its state, its frame) and how the window
// asks it to hold a size. X11 window managers frame a window, announce the frame in
// _NET_FRAME_EXTENTS and its state in _NET_WM_STATE, which Qt reads lazily and sums up (a
// window maximized one way only is "normal" to Qt); they hold a size by the size hints. On
// Wayland the frame is Qt's own decoration, there are no positions, and the compositor
// holds a size by the surface's minimum and maximum. Elsewhere (offscreen, an X display
// without a window manager) nobody else sizes the window.

#include <QByteArray>
#include <QMargins>
#include <QSize>
#include <cstdint>
#include <optional>

class QWidget;

namespace hoopcast::app {

struct WindowFacts {
    bool maximized = false;          // maximized both ways, or full screen
    bool one_way_maximized = false;  // maximized across or down only
    QSize client;
    std::optional<QMargins> frame;  // none until a window manager has framed the window
};

class WindowSystem {
  public:
    WindowSystem();

    // Whether a window manager or compositor decides the window's size and state.
    bool sizes_windows() const;
    bool wayland() const noexcept { return platform_ == Platform::wayland; }
    // Read afresh at each call: the window manager may have changed them since.
    WindowFacts facts(const QWidget& window) const;
    // Holds the window at client size `client` inside `frame`, or lets the window system
    // size it freely.
    void hold_size(QWidget& window, std::optional<QSize> client, QMargins frame);
    // Asks for the window maximized both ways.
    void maximize_fully(QWidget& window) const;
    // Whether a native event tells of a new frame or window state.
    bool announces_news(const QByteArray& event_type, const void* message) const;

  private:
    enum class Platform { x11, wayland, other };
    bool x11_window_manager_running() const;
    bool x11_announces_frames() const;
    void hold_wayland_size(QWidget& window, std::optional<QSize> outer);

    // The size told to the compositor; none: free.
    std::optional<QSize> held_outer_;

    Platform platform_ = Platform::other;
    void* connection_ = nullptr;  // the application's xcb_connection_t
    struct Atoms {
        std::uint32_t frame_extents = 0;
        std::uint32_t state = 0;
        std::uint32_t maximized_vert = 0;
        std::uint32_t maximized_horz = 0;
        std::uint32_t fullscreen = 0;
        std::uint32_t wm_check = 0;
        std::uint32_t supported = 0;
    } atoms_;
};

}  // namespace hoopcast::app
