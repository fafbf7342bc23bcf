#include "app/window_layout.h"

#include <QWidget>
#include <algorithm>

#include "scene/mapping.h"

namespace hoopcast::app {

namespace {
// Long enough for a window manager's new state to follow its new size, short enough that
// a size forced on the normal window does not show for long.
constexpr int kSettleMs = 250;

// What the design's presentation court leaves of the outer height for the title bar and the
// menu bar.
constexpr int kDesignChromeHeight = 48;

// The presentation court's scale for an outer height: the design's, unless the frame and the
// menu bar take more than the design leaves them (Qt's own title bar on Wayland, a tall title
// bar elsewhere); then the court is the height that is left, whole.
double presentation_scale(int outer_height, QMargins frame, int menu_height) {
    const int chrome = frame.top() + frame.bottom() + menu_height;
    return full_layout_scale(outer_height - std::max(0, chrome - kDesignChromeHeight));
}
}  // namespace

QSize normal_client_size(QMargins frame, int client_height) {
    const int frame_width = frame.left() + frame.right();
    const int frame_height = frame.top() + frame.bottom();
    return {kNormalOuterWidth - frame_width, std::max(client_height, kMinOuterHeight - frame_height)};
}

LayoutDecision decide_layout(const WindowFacts& facts, QSize normal_client, int menu_height) {
    const QMargins frame = facts.frame.value_or(QMargins());
    const QSize outer = facts.client.grownBy(frame);
    LayoutDecision d;
    d.state.outer = outer;
    if (facts.maximized && outer.width() > kWideThreshold) {
        d.state.layout = Layout::presentation;
        d.state.scale = presentation_scale(outer.height(), frame, menu_height);
        return d;
    }
    d.state.layout = Layout::normal;
    d.state.scale = 1.0;
    if (facts.maximized) return d;  // maximized onto a screen no wider than the normal window
    if (facts.one_way_maximized) {
        d.maximize_fully = true;
        return d;
    }
    d.hold_normal_size = true;
    // Before the window manager has framed the window its outer size is not known.
    d.return_to_normal_size = facts.frame.has_value() && facts.client != normal_client;
    return d;
}

WindowLayout::WindowLayout(QWidget& window, int design_client_height, std::function<int()> menu_height,
                           Apply apply)
    : QObject(&window),
      window_(window),
      design_client_height_(design_client_height),
      menu_height_(std::move(menu_height)),
      apply_(std::move(apply)) {
    settle_.setSingleShot(true);
    settle_.setInterval(system_.sizes_windows() ? kSettleMs : 0);
    connect(&settle_, &QTimer::timeout, this, &WindowLayout::settled);
}

void WindowLayout::begin() {
    if (phase_ == Phase::hidden) phase_ = Phase::shown;
    refresh();
}

void WindowLayout::end() {
    phase_ = Phase::ended;
    settle_.stop();
}

QSize WindowLayout::normal_client(const WindowFacts& facts) const {
    return normal_client_size(facts.frame.value_or(QMargins()), design_client_height_ + menu_height_());
}

void WindowLayout::refresh() {
    if (phase_ != Phase::shown && phase_ != Phase::laid_out) return;
    const WindowFacts facts = system_.facts(window_);
    const QSize normal = normal_client(facts);
    const LayoutDecision d = decide_layout(facts, normal, menu_height_());
    system_.hold_size(window_, d.hold_normal_size && facts.frame ? std::optional(normal) : std::nullopt,
                      facts.frame.value_or(QMargins()));
    // What the window asks of the window system waits until the window system has settled.
    if (d.return_to_normal_size || d.maximize_fully) {
        settle_.start();
    } else {
        settle_.stop();
    }
    if (phase_ == Phase::shown || d.state != state_) {
        const bool switched = phase_ == Phase::shown || d.state.layout != state_.layout;
        state_ = d.state;
        phase_ = Phase::laid_out;
        apply_(state_, switched);
    }
}

// Decided again when it is due: the window may have been maximized or restored meanwhile
// (some window managers pass through a one-way maximize on the way).
void WindowLayout::settled() {
    if (phase_ != Phase::laid_out) return;
    const WindowFacts facts = system_.facts(window_);
    const QSize normal = normal_client(facts);
    const LayoutDecision d = decide_layout(facts, normal, menu_height_());
    if (d.return_to_normal_size) window_.resize(normal);
    if (d.maximize_fully) system_.maximize_fully(window_);
}

void WindowLayout::native_event(const QByteArray& event_type, const void* message) {
    if (phase_ != Phase::hidden && phase_ != Phase::ended && system_.announces_news(event_type, message))
        QTimer::singleShot(0, this, &WindowLayout::refresh);
}

}  // namespace hoopcast::app
