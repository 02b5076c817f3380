# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: awk -v lesson=LESSON -v part=N -v drags=D -v steps=S -f packaging/dense-drags.awk
# Prints a lesson-replay script of D dense drags of S steps each, with a state after every
# step and a picture (png drag-LESSON-N-half.png) halfway. A drag presses anywhere on the
# plane, so the nearer-point rule picks A or B, P1 or P2 afresh; quillet's pointer moves
# with no button. Steps are up to a third of a unit, in six decimals. The generator is
# Park and Miller's, exact in awk's doubles, so every awk makes the same scripts: the
# cross-architecture check and the replay corpus rely on that.
function uniform() { seed = (seed * 16807) % 2147483647; return seed / 2147483647 }
function clamp(v, low, high) { return v < low ? low : (v > high ? high : v) }
BEGIN {
    seed = 1 + part * 7919 + length(lesson) * 104729
    print "wait 20"
    for (d = 1; d <= drags; d++) {
        x = -1.9 + uniform() * 14.8; y = -2.9 + uniform() * 10.8
        if (lesson != "quillet") printf "down %.6f %.6f\n", x, y
        for (s = 1; s <= steps; s++) {
            x = clamp(x + (uniform() - 0.5) * 0.66, -1.9, 12.9)
            y = clamp(y + (uniform() - 0.5) * 0.66, -2.9, 7.9)
            printf "move %.6f %.6f %d\nstate\n", x, y, lesson == "quillet" ? 0 : 1
            if (s % 8 == 0) print "wait 17"
        }
        if (lesson != "quillet") printf "up %.6f %.6f\n", x, y
        if (d == drags / 2) printf "png drag-%s-%d-half.png\n", lesson, part
    }
}
