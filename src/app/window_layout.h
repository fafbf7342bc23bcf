#pragma once
// The window's two layouts and its size, owned in one place. Whatever the window system
// tells (a resize, a new window state, a new frame, the first showing) comes here; the
// layout is decided afresh from the window state and the outer size, and the window is
// laid out only when the decision changes. While normal the window keeps its one size:
// the window system is asked to hold it, and a resize that gets through is taken back.

#include <QMargins>
#include <QObject>
#include <QSize>
#include <QTimer>
#include <functional>
#include <optional>

#include "app/window_system.h"

class QWidget;

namespace hoopcast::app {

enum class Layout { normal, presentation };

struct LayoutState {
    Layout layout = Layout::normal;
    QSize outer;         // the window's outer size the layout was decided for
    double scale = 1.0;  // pixels per court unit

    friend bool operator==(const LayoutState&, const LayoutState&) = default;
};

// The normal window's outer width, and the widest outer size that still takes it.
inline constexpr int kNormalOuterWidth = 616;
inline constexpr int kMinOuterHeight = 458;
inline constexpr int kWideThreshold = 620;

// What the window does: the layout it takes, whether its size is held at `normal_client`,
// and whether it asks for that size back or for a maximizing both ways.
struct LayoutDecision {
    LayoutState state;
    bool hold_normal_size = false;
    bool return_to_normal_size = false;
    bool maximize_fully = false;
};

// The normal window's client size inside `frame`: 616 wide outside, as high as the
// design's client area and the menu bar.
QSize normal_client_size(QMargins frame, int client_height);

// The presentation layout is a maximized (or full-screen) window wider than the threshold;
// a normal window has the normal layout at its normal size whatever size it was given. A
// window maximized one way only is maximized both ways. `menu_height`: what the menu bar
// takes of the client area.
LayoutDecision decide_layout(const WindowFacts& facts, QSize normal_client, int menu_height);

class WindowLayout : public QObject {
    Q_OBJECT
  public:
    // `design_client_height`: the normal client height inside no frame, below the menu bar
    // of height `menu_height`. `apply` lays out the controls for a new state; `switched`
    // when the layout itself changed.
    using Apply = std::function<void(const LayoutState& state, bool switched)>;
    WindowLayout(QWidget& window, int design_client_height, std::function<int()> menu_height, Apply apply);

    // Something the layout depends on may have changed.
    void refresh();
    // The window is shown: it is laid out from now on. Closing: never again.
    void begin();
    void end();

    const LayoutState& state() const noexcept { return state_; }
    bool presenting() const noexcept {
        return phase_ == Phase::laid_out && state_.layout == Layout::presentation;
    }
    bool laid_out() const noexcept { return phase_ == Phase::laid_out; }
    WindowSystem& window_system() noexcept { return system_; }
    // A native event that tells of a new frame or window state.
    void native_event(const QByteArray& event_type, const void* message);

  private:
    QSize normal_client(const WindowFacts& facts) const;
    void settled();

    // Hidden until first shown; shown until first laid out; ended when closing.
    enum class Phase { hidden, shown, laid_out, ended };
    QWidget& window_;
    WindowSystem system_;
    int design_client_height_;
    std::function<int()> menu_height_;
    Apply apply_;
    Phase phase_ = Phase::hidden;
    LayoutState state_;
    // A resize of the normal window is taken back, and a one-way maximize made whole, once the
    // window system has settled: a maximizing may tell of its new size before its new state.
    QTimer settle_;
};

}  // namespace hoopcast::app
