#include "scene/mapping.h"

#include "play/rounding.h"

namespace hoopcast {

namespace {

// The product and the sum run in extended precision; the value is stored as a double
// before it is rounded, so a value within rounding noise of a half rounds as a double.
std::int32_t position_at(std::int32_t start, std::int32_t target, int step, double fraction) noexcept {
    const long double from = static_cast<double>(start);
    const long double to = static_cast<double>(target);
    long double v = static_cast<long double>(step) * static_cast<long double>(fraction);
    v = v * (to - from);
    v = from + v;
    return Round(static_cast<double>(v));
}

// The next sequence's first point; the last sequence of the tables has none, so its
// items stay where they are.
const element& next_in_slot(const PlayModel& play, int s, int i) noexcept {
    return s < kMaxSequences ? play.item(s + 1, i) : play.item(s, i);
}

}  // namespace

PictureSize frame_picture_size(double scale) noexcept {
    return {Round(static_cast<long double>(kCourtWidth) * scale),
            Round(static_cast<long double>(kCourtHeight) * scale)};
}

std::int32_t frame_pen_width(double scale) noexcept {
    return scale > 1.1 ? Trunc(scale) + 1 : 1;
}

double full_layout_scale(int window_height) noexcept {
    return static_cast<double>(window_height - 48) / kCourtHeight;
}

std::int32_t court_to_pixels(double value, double scale) noexcept {
    return Round(value * scale);
}

std::int32_t calc_wrk_x1(const PlayModel& play, int s, int i, int step, int steps, double fraction) noexcept {
    const std::int32_t start = play.item(s, i).x1;
    if (step == 0 && steps != 0) return start;
    const std::int32_t target = next_in_slot(play, s, i).x1;
    if (step == steps) return target;
    return position_at(start, target, step, fraction);
}

std::int32_t calc_wrk_y1(const PlayModel& play, int s, int i, int step, int steps, double fraction) noexcept {
    const std::int32_t start = play.item(s, i).y1;
    if (step == 0 && steps != 0) return start;
    const std::int32_t target = next_in_slot(play, s, i).y1;
    if (step == steps) return target;
    return position_at(start, target, step, fraction);
}

std::int32_t calc_wrk_x2(const PlayModel& play, int s, int i, int step, int steps, double fraction) noexcept {
    const element& e = play.item(s, i);
    if (step == steps) return e.x2;
    return position_at(e.x1, e.x2, step, fraction);
}

std::int32_t calc_wrk_y2(const PlayModel& play, int s, int i, int step, int steps, double fraction) noexcept {
    const element& e = play.item(s, i);
    if (step == steps) return e.y2;
    return position_at(e.y1, e.y2, step, fraction);
}

}  // namespace hoopcast
