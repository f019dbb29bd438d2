#include "ui/spinner_step.h"

#include <algorithm>

#include "support/numbers.h"

int spinnerStep(TextView content, int bound1, int bound2, bool up) {
    const int lower = std::min(bound1, bound2);
    const int upper = std::max(bound1, bound2);
    // 64 bits: a box holding the largest integer must still step without overflow.
    const long long value = static_cast<long long>(toInteger(content)) + (up ? 1 : -1);
    if (value < lower || value > upper) {
        return up ? lower : upper;
    }
    return static_cast<int>(value);
}
