#include "app/key_routes.h"

#include <algorithm>
#include <initializer_list>

namespace hoopcast::app {

namespace {

struct KeptKeys {
    FocusKind kind;
    std::initializer_list<Qt::Key> keys;
};

// Esc is kept by none: it ends the program from anywhere. The playback buttons keep no key,
// so Space on a focused Play pauses rather than pressing Play again.
const KeptKeys kKeptKeys[] = {
    {FocusKind::playback_button, {}},
    {FocusKind::check_box, {Qt::Key_Space}},
    {FocusKind::speed_box, {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home}},
    {FocusKind::description,
     {Qt::Key_Space, Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home}},
    {FocusKind::colour_box,
     {Qt::Key_Space, Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home}},
    {FocusKind::other, {}},
};

}  // namespace

bool control_keeps_key(FocusKind kind, int key, Qt::KeyboardModifiers modifiers) noexcept {
    // With a modifier the key is the window's shortcut or nobody's.
    if (modifiers != Qt::NoModifier && modifiers != Qt::KeypadModifier) return false;
    for (const KeptKeys& k : kKeptKeys) {
        if (k.kind == kind) return std::find(k.keys.begin(), k.keys.end(), key) != k.keys.end();
    }
    return false;
}

}  // namespace hoopcast::app
