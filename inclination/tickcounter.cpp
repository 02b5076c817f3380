// SPDX-License-Identifier: GPL-3.0-or-later
#include "tickcounter.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace inclination {

namespace {

// Advances the counter by as many steps as keep it below the target. Between two powers
// of two every double is a multiple of the same spacing, so there each addition adds the
// step rounded to that spacing; a tie may round either way on the first step, but from
// the second step on the increment stays the same. Runs of such steps are therefore
// taken at once by one exact multiplication, and only the crossings from one power of
// two to the next are walked.
double skipBelow(double counter, double step, double target) {
    for (;;) {
        const double first = counter + step;
        if (first >= target || first == counter) return counter;
        const double second = first + step;
        if (second >= target || second == first) return first;
        int exponent = 0;
        std::frexp(counter, &exponent);
        const double top = std::ldexp(1.0, exponent);
        if (counter == 0 || second >= top) {
            counter = first;
            continue;
        }
        const double spacing = std::max(std::ldexp(1.0, exponent - 53), DBL_TRUE_MIN);
        const double increment = second - first;
        // Two steps of slack cover the rounding of this estimate; the check below is exact.
        const double room = std::min(target - second, top - spacing - step - second);
        const double steps = std::floor(room / increment) - 2;
        const double jumped = second + steps * increment;
        counter = steps >= 1 && jumped < target && jumped + step < top - spacing ? jumped : second;
    }
}

}  // namespace

std::vector<double> countedTicks(double step, double bound, double from, double to) {
    std::vector<double> ticks;
    if (!(step > 0)) return ticks;
    const double last = std::min(bound, to);
    double counter = 0;
    while (counter <= last) {
        if (counter < from)
            counter = skipBelow(counter, step, from);
        else
            ticks.push_back(counter);
        const double next = counter + step;
        if (next == counter) break;
        counter = next;
    }
    return ticks;
}

}  // namespace inclination
