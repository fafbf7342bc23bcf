#pragma once
// The frame an X11 window manager puts around the window, as the window manager announces
// it in the window's _NET_FRAME_EXTENTS property. Qt reads the frame lazily and can keep a
// reading taken before the window was framed, or one taken halfway through reparenting.

#include <QByteArray>
#include <QMargins>
#include <cstdint>
#include <optional>

class QWidget;

namespace hoopcast::app {

class X11Frame {
  public:
    // Off X11 (Qt's offscreen platform, Wayland) nothing is ever known.
    X11Frame();

    // Whether a window manager runs on the X11 display.
    bool window_manager_running() const;
    // The frame around `window`; no value before a window manager has framed it.
    std::optional<QMargins> extents(const QWidget& window) const;
    // Whether a native event announces a new frame.
    bool announces_new_frame(const QByteArray& event_type, const void* message) const;

  private:
    void* connection_ = nullptr;    // the application's xcb_connection_t
    std::uint32_t atom_ = 0;        // _NET_FRAME_EXTENTS
    std::uint32_t check_atom_ = 0;  // _NET_SUPPORTING_WM_CHECK, on the root window
};

}  // namespace hoopcast::app
