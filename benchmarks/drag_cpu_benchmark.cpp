// SPDX-License-Identifier: GPL-3.0-or-later
// drag-cpu-benchmark [--steps N] [--runs R] [--interval MS] [--shots DIR] [--each] [--calibrate]
//                    [--callgrind] [--build DIR] [--floor|--dorvane|--skelvin|--quillet PATH]
// The whole lesson process's CPU time per drag step with real X input: starts two Xvfb
// servers (one 1920 x 1080 screen each) with openbox, launches a lesson on one and the bare
// drag-floor program on the other, drives a drag of N steps in both with XTest from the
// dragged point, a step every interval, the floor's half an interval after the lesson's,
// and reads each process's CPU time from /proc before and after. The machine's speed
// drifts by a factor of two within seconds here, so the floor is measured in the same time
// as the lesson. Prints the medians of R runs, at 100 % and full screen, and each lesson's
// ratio to the floor (the median of the runs' ratios) beside its budget.
// With --shots, a screenshot of each program's first drag is saved there; with --each, every
// run's figures are printed as well, to see how far they spread; with --calibrate, the floor
// is measured against a second floor instead of the lessons, and should read 1.00.
// With --callgrind, instructions per drag step are counted under callgrind instead, which
// the machine's load does not change (100 steps and 5 runs unless told): see drag_callgrind.cpp.
// The programs are this build's unless --build names another build tree, or an option one
// program.
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "drag_callgrind.h"
#include "x_drag.h"

using namespace xdrag;

namespace {

struct Sample {
    double lessonMs;  // per step
    double floorMs;
    bool ok;
};

// The lesson on one screen and the floor on the other, dragged step by step in turn, half
// an interval apart: whatever the machine does meanwhile falls on both alike.
Sample measure(const XServer& lessonScreen, const XServer& floorScreen, const Program& program,
               const Program& floorProgram, const Showing& showing, int steps, double intervalMs,
               const std::string& shot) {
    const Dragged lesson(lessonScreen, program, showing);
    const Dragged floor(floorScreen, floorProgram, showing);
    if (!lesson.ready() || !floor.ready() || !lesson.settled() || !floor.settled())
        return {0, 0, false};
    lesson.moveTo(0);
    floor.moveTo(0);
    sleepMs(200);
    const double lessonStart = cpuMs(lesson.pid());
    const double floorStart = cpuMs(floor.pid());
    lesson.press(true);
    floor.press(true);
    for (int step = 1; step <= steps; ++step) {
        lesson.moveTo(step);
        sleepMs(intervalMs / 2);
        floor.moveTo(step);
        sleepMs(intervalMs / 2);
    }
    if (!shot.empty()) {
        // Taken with the button still down, so that the picture shows the drag itself.
        sleepMs(200);
        const pid_t taker =
            spawn({"import", "-display", lessonScreen.name, "-window", "root", shot}, {}, -1);
        if (taker > 0) waitpid(taker, nullptr, 0);
    }
    lesson.press(false);
    floor.press(false);
    sleepMs(200);
    const double lessonEnd = cpuMs(lesson.pid());
    const double floorEnd = cpuMs(floor.pid());
    const bool counted =
        lessonStart >= 0 && lessonEnd >= lessonStart && floorStart >= 0 && floorEnd >= floorStart;
    // The shot's own wait adds idle time only, but it is no part of a run's figure.
    return {(lessonEnd - lessonStart) / steps, (floorEnd - floorStart) / steps,
            counted && shot.empty()};
}

}  // namespace

int main(int argc, char** argv) {
    int steps = 0;
    int runs = 0;
    int intervalMs = 8;
    std::string shots;
    bool each = false;
    bool calibrate = false;
    bool callgrind = false;
    Program floor = floorProgram();
    std::vector<Program> lessons = lessonPrograms();
    for (int at = 1; at < argc; ++at) {
        const std::string option = argv[at];
        const bool valued = at + 1 < argc;
        bool good = true;
        if (option == "--steps" && valued)
            good = parseCount(argv[++at], steps);
        else if (option == "--runs" && valued)
            good = parseCount(argv[++at], runs);
        else if (option == "--interval" && valued)
            good = parseCount(argv[++at], intervalMs);
        else if (option == "--shots" && valued)
            shots = argv[++at];
        else if (option == "--each")
            each = true;
        else if (option == "--calibrate")
            calibrate = true;
        else if (option == "--callgrind")
            callgrind = true;
        else
            good = takeProgramPath(argc, argv, at, floor, lessons);
        if (!good) {
            std::fprintf(stderr,
                         "usage: drag-cpu-benchmark [--steps N] [--runs R] [--interval MS] "
                         "[--shots DIR] [--each] [--calibrate] [--callgrind] %s\n",
                         kProgramPathUsage);
            return 2;
        }
    }
    if (callgrind)
        return countInstructions(floor, lessons, steps ? steps : 100, runs ? runs : 5, each) ? 0
                                                                                             : 1;
    steps = steps ? steps : 300;
    runs = runs ? runs : 7;

    XServer servers[2] = {openServer(), openServer()};
    if (!servers[0].display || !servers[1].display) {
        std::fprintf(stderr, "drag-cpu-benchmark: no X display with XTest\n");
        for (XServer& server : servers) closeServer(server);
        return 1;
    }
    sleepMs(1000);  // the window managers take over their screens

    // samples[showing][lesson]; the lessons take turns within each run, and the two screens
    // change places from run to run.
    // With --calibrate the floor is measured against itself: the method's own error.
    if (calibrate) lessons.assign(1, floor);
    std::vector<std::vector<std::vector<Sample>>> samples(
        std::size(kShowings), std::vector<std::vector<Sample>>(lessons.size()));
    bool failed = false;
    for (int run = 0; run < runs && !failed; ++run) {
        const XServer& lessonScreen = servers[run % 2];
        const XServer& floorScreen = servers[1 - run % 2];
        for (size_t shown = 0; shown < std::size(kShowings) && !failed; ++shown) {
            for (size_t index = 0; index < lessons.size(); ++index) {
                const Program& program = lessons[index];
                const Showing& showing = kShowings[shown];
                if (run == 0 && !shots.empty()) {
                    const std::string shot = shots + "/" + program.name + "-" +
                                             (showing.fullScreen ? "full" : "100") + ".png";
                    measure(lessonScreen, floorScreen, program, floor, showing, steps, intervalMs,
                            shot);
                }
                const Sample sample = measure(lessonScreen, floorScreen, program, floor, showing,
                                              steps, intervalMs, {});
                if (!sample.ok) {
                    std::fprintf(stderr, "drag-cpu-benchmark: measuring %s at %s failed\n",
                                 program.name, showing.name);
                    failed = true;
                    break;
                }
                samples[shown][index].push_back(sample);
            }
        }
    }
    for (XServer& server : servers) closeServer(server);
    if (failed) return 1;

    std::printf(
        "Whole-process CPU per pointer event, real X input (XTest) under two Xvfb %dx%d with\n"
        "openbox, the lesson on one and the floor on the other in the same time: %d events\n"
        "%d ms apart each, median of %d runs; ratio: median of the runs' ratios\n",
        kScreenWidth, kScreenHeight, steps, intervalMs, runs);
    std::printf("%-8s %-17s %-15s %10s %10s %8s %8s\n", "program", "event", "shown", "ms/event",
                "floor ms", "ratio", "budget");
    bool allMet = true;
    for (size_t shown = 0; shown < std::size(kShowings); ++shown) {
        for (size_t index = 0; index < lessons.size(); ++index) {
            const Program& program = lessons[index];
            std::vector<double> costs;
            std::vector<double> floors;
            std::vector<double> ratios;
            for (const Sample& sample : samples[shown][index]) {
                costs.push_back(sample.lessonMs);
                floors.push_back(sample.floorMs);
                ratios.push_back(sample.lessonMs / sample.floorMs);
            }
            const double ratio = median(ratios);
            const bool met = program.budget == 0 || ratio <= program.budget;
            allMet = allMet && met;
            char budget[16] = "-";
            if (program.budget > 0) std::snprintf(budget, sizeof budget, "%.2f", program.budget);
            std::printf("%-8s %-17s %-15s %10.4f %10.4f %8.2f %8s %s\n", program.name,
                        program.event, kShowings[shown].name, median(costs), median(floors), ratio,
                        budget, met ? "" : "MISSED");
            if (each) {
                std::printf("  each run, lesson/floor ms:");
                for (const Sample& sample : samples[shown][index])
                    std::printf(" %.3f/%.3f", sample.lessonMs, sample.floorMs);
                std::printf("\n  each run, ratio:");
                for (const double r : ratios) std::printf(" %.2f", r);
                std::printf("\n");
            }
        }
    }
    return allMet ? 0 : 3;
}
