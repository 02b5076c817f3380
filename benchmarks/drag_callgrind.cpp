// SPDX-License-Identifier: GPL-3.0-or-later
// Each program runs under callgrind with instrumentation off, so that Qt's start-up takes
// seconds rather than a minute. Through vgdb, instrumentation is then switched on, a
// warm-up drag done, the counters zeroed, the measured drag done, and the counts dumped:
// the dump holds exactly the measured drag's instructions, every thread's together.
// Zeroing and dumping are sound where toggling collection would not be: callgrind's
// collection can only be toggled by function name or by the program itself, and
// --collect-atstart=no with instrumentation toggled would count nothing.
// The events are 80 ms apart, and each waits for the previous one's drawing (XDamage), so
// that every one is painted even at callgrind's speed on a loaded machine: the count is
// the cost of one step with its paint, not of a step merged with others.
// What else the program does meanwhile (skelvin's legs blink every second) counts as well.
#include "drag_callgrind.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

using namespace xdrag;

namespace {

constexpr double kStepIntervalMs = 80;
constexpr int kWarmUpSteps = 20;

bool monitor(pid_t pid, const std::string& command) {
    const pid_t vgdb = spawn({"vgdb", "--pid=" + std::to_string(pid), command}, {}, -1);
    int status = 0;
    return vgdb > 0 && waitpid(vgdb, &status, 0) == vgdb && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// The instructions in a callgrind dump: its "summary:" line (or "totals:" where that is
// missing), whose first figure is Ir, the only event counted without a cache simulation.
double dumpedInstructions(const std::filesystem::path& dump) {
    std::ifstream in(dump);
    std::string line;
    double totals = -1;
    while (std::getline(in, line)) {
        if (line.rfind("summary:", 0) == 0) return std::atof(line.c_str() + 8);
        if (line.rfind("totals:", 0) == 0) totals = std::atof(line.c_str() + 7);
    }
    return totals;
}

struct Count {
    double perStep = -1;  // negative when the run failed
    int undrawn = 0;      // measured steps not drawn within 2 s
};

Count countRun(const XServer& server, const Program& program, const Showing& showing, int steps) {
    char pattern[] = "/tmp/drag-callgrind-XXXXXX";
    if (!mkdtemp(pattern)) return {};
    const std::filesystem::path folder = pattern;
    Count count;
    {
        const Dragged dragged(server, program, showing,
                              {"valgrind", "--tool=callgrind", "--instr-atstart=no",
                               "--callgrind-out-file=" + (folder / "callgrind.out").string()});
        if (dragged.ready() && dragged.settled()) {
            const Drawings drawings(server.display, dragged.window());
            // One step: the next one no sooner than the interval, nor before this one is
            // drawn, however slowly a loaded machine runs callgrind.
            const auto dragTo = [&](int step) {
                const Clock::time_point next =
                    Clock::now() + std::chrono::milliseconds(long(kStepIntervalMs));
                dragged.moveTo(step);
                const bool drawn = drawings.drawnBefore(Clock::now() + std::chrono::seconds(2));
                std::this_thread::sleep_until(next);
                return drawn;
            };
            dragged.moveTo(0);
            drawings.quiet(200);
            if (monitor(dragged.pid(), "instrumentation on")) {
                sleepMs(500);
                dragged.press(true);
                int step = 1;
                for (; step <= kWarmUpSteps; ++step) dragTo(step);
                drawings.quiet(300);
                if (monitor(dragged.pid(), "zero")) {
                    for (const int last = step + steps; step < last; ++step)
                        if (!dragTo(step)) ++count.undrawn;
                    drawings.quiet(300);
                    if (monitor(dragged.pid(), "dump")) {
                        // A dump on request is numbered from 1.
                        const double instructions = dumpedInstructions(folder / "callgrind.out.1");
                        if (instructions > 0) count.perStep = instructions / steps;
                    }
                }
                dragged.press(false);
            }
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return count;
}

}  // namespace

bool countInstructions(const Program& floor, const std::vector<Program>& lessons, int steps,
                       int runs, bool each) {
    XServer server = openServer();
    if (!server.display) {
        std::fprintf(stderr, "drag-cpu-benchmark: no X display with XTest\n");
        return false;
    }
    sleepMs(1000);  // the window manager takes over its screen
    std::vector<Program> programs = lessons;
    programs.push_back(floor);
    // counts[showing][program][run]; the programs take turns within each run.
    std::vector<std::vector<std::vector<double>>> counts(
        std::size(kShowings), std::vector<std::vector<double>>(programs.size()));
    std::vector<std::vector<int>> undrawn(std::size(kShowings), std::vector<int>(programs.size()));
    bool failed = false;
    for (int run = 0; run < runs && !failed; ++run) {
        for (size_t shown = 0; shown < std::size(kShowings) && !failed; ++shown) {
            for (size_t index = 0; index < programs.size(); ++index) {
                const Count count = countRun(server, programs[index], kShowings[shown], steps);
                if (count.perStep < 0) {
                    std::fprintf(stderr, "drag-cpu-benchmark: counting %s at %s failed\n",
                                 programs[index].name, kShowings[shown].name);
                    failed = true;
                    break;
                }
                counts[shown][index].push_back(count.perStep);
                undrawn[shown][index] += count.undrawn;
            }
        }
    }
    closeServer(server);
    if (failed) return false;

    std::printf(
        "Instructions per pointer event under callgrind, real X input (XTest) under Xvfb %dx%d\n"
        "with openbox: a %d-event warm-up, then %d events at least %.0f ms apart, each after the\n"
        "previous one is drawn; median of %d runs, their range, and the farthest run from the\n"
        "median (spread, +/-); undrawn: events not drawn within 2 s, all runs together\n",
        kScreenWidth, kScreenHeight, kWarmUpSteps, steps, kStepIntervalMs, runs);
    std::printf("%-8s %-15s %11s %17s %8s %8s %8s\n", "program", "shown", "K Ir/event", "range K",
                "spread", "floor x", "undrawn");
    for (size_t shown = 0; shown < std::size(kShowings); ++shown) {
        const double floorMedian = median(counts[shown].back());
        for (size_t index = 0; index < programs.size(); ++index) {
            const std::vector<double>& runCounts = counts[shown][index];
            const double middle = median(runCounts);
            const auto [low, high] = std::ranges::minmax(runCounts);
            const double spread = std::max(high - middle, middle - low) / middle * 100;
            char range[40];
            std::snprintf(range, sizeof range, "%.1f-%.1f", low / 1000, high / 1000);
            std::printf("%-8s %-15s %11.1f %17s %5.1f %% %8.2f %8d\n", programs[index].name,
                        kShowings[shown].name, middle / 1000, range, spread, middle / floorMedian,
                        undrawn[shown][index]);
            if (each) {
                std::printf("  each run, K Ir/event:");
                for (const double count : runCounts) std::printf(" %.1f", count / 1000);
                std::printf("\n");
            }
        }
    }
    return true;
}
