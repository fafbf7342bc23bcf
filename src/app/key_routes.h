#pragma once
// Which keys work the play from anywhere in the window, and which of them the focused
// control keeps for itself. One table answers both, looked up by the kind of control that
// has the focus, so a presenter's Space or clicker does the same whatever was clicked last.

#include <Qt>
#include <string_view>

namespace hoopcast::app {

enum class WindowKeyAction { play_pause, previous, next, stop, cancel };

// The controls that can hold the focus, by what they do with keys.
enum class FocusKind {
    playback_button,  // Play, Pause, Stop, Previous, Next, Cancel: they use no key themselves
    check_box,        // Sketch and Loop: Space ticks
    speed_box,        // the speed's read-only box: the caret moves
    description,      // the description pane scrolls and selects
    colour_box,       // the sketch colour picker: its list
    other,
};

struct WindowKey {
    Qt::Key key;
    WindowKeyAction action;
};

// A presentation clicker sends PageUp/PageDown or the arrows.
inline constexpr WindowKey kWindowKeys[] = {
    {Qt::Key_Space, WindowKeyAction::play_pause}, {Qt::Key_Left, WindowKeyAction::previous},
    {Qt::Key_PageUp, WindowKeyAction::previous},  {Qt::Key_Right, WindowKeyAction::next},
    {Qt::Key_PageDown, WindowKeyAction::next},    {Qt::Key_Home, WindowKeyAction::stop},
    {Qt::Key_Escape, WindowKeyAction::cancel},
};

// Whether a control of `kind` keeps `key` (pressed with `modifiers`) rather than let the
// window act on it.
bool control_keeps_key(FocusKind kind, int key, Qt::KeyboardModifiers modifiers) noexcept;

// The name a control's kind is filed under on the control (a dynamic property).
inline constexpr const char* kFocusKindProperty = "hoopcast_focus_kind";

}  // namespace hoopcast::app
