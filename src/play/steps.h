#pragma once
// How a sequence is cut into animation steps: the item with the longest path moves 5
// court units per step.

#include "play/rounding.h"

namespace hoopcast {

struct StepPlan {
    double fraction = 0.0;  // part of every move covered per step
    int steps = 1;
};

// The division, the addition and the rounding run in 80-bit extended precision: where the
// longest path is an exact multiple of 5, the sum lies within rounding noise of a half and
// the extra precision decides (a path of 30 gives 7 steps, of 25 gives 5).
inline StepPlan step_plan(double seq_path_length) noexcept {
    StepPlan plan;
    plan.fraction = 5.0 / seq_path_length;
    const long double sum = 1.0L / static_cast<long double>(plan.fraction) + 0.5L;
    plan.steps = Round(sum);
    if (plan.steps < 1) plan.steps = 1;
    return plan;
}

}  // namespace hoopcast
