// A keyboard for weston's headless backend, which has none: a seat of its own whose keyboard
// presses and lets go of Space each time weston is sent SIGUSR1. wayland_test.sh loads it
// with --modules, so the window gets the key as it gets a real keyboard's, focus and all.

#include <linux/input-event-codes.h>
#include <wayland-server-core.h>

#include <csignal>
#include <ctime>
#include <new>

#include <libweston/libweston.h>

// libweston exports these for its backends without installing their header.
extern "C" {
void weston_seat_init(struct weston_seat* seat, struct weston_compositor* ec, const char* seat_name);
int weston_seat_init_keyboard(struct weston_seat* seat, struct xkb_keymap* keymap);
void notify_key(struct weston_seat* seat, const struct timespec* time, uint32_t key,
                enum wl_keyboard_key_state state, enum weston_key_state_update update_state);
}

namespace {

int press_space(int, void* data) {
    auto* seat = static_cast<weston_seat*>(data);
    timespec now{};
    weston_compositor_get_time(&now);
    notify_key(seat, &now, KEY_SPACE, WL_KEYBOARD_KEY_STATE_PRESSED, STATE_UPDATE_AUTOMATIC);
    notify_key(seat, &now, KEY_SPACE, WL_KEYBOARD_KEY_STATE_RELEASED, STATE_UPDATE_AUTOMATIC);
    return 0;
}

}  // namespace

extern "C" WL_EXPORT int wet_module_init(weston_compositor* compositor, int*, char*[]) {
    // Lives as long as the compositor.
    auto* seat = new (std::nothrow) weston_seat{};
    if (seat == nullptr) return -1;
    weston_seat_init(seat, compositor, "hoopcast");
    if (weston_seat_init_keyboard(seat, nullptr) < 0) return -1;
    wl_event_loop* loop = wl_display_get_event_loop(compositor->wl_display);
    return wl_event_loop_add_signal(loop, SIGUSR1, press_space, seat) != nullptr ? 0 : -1;
}
