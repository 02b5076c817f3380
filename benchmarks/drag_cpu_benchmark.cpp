// SPDX-License-Identifier: GPL-3.0-or-later
// drag-cpu-benchmark [--steps N] [--runs R] [--interval MS] [--shots DIR]
// The whole lesson process's CPU time per drag step with real X input: starts Xvfb (one
// 1920 x 1080 screen) with openbox, launches each lesson and the bare drag-floor program,
// drives a drag of N steps with XTest from the lesson's point, one step every interval, and
// reads the process's CPU time from /proc before and after. Prints the medians of R runs,
// at 100 % and full screen, and each lesson's ratio to the floor (the median of the runs'
// ratios) beside its budget.
// With --shots, a screenshot of each program's first drag is saved there.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

struct Point {
    double x;
    double y;
};

struct Program {
    const char* name;
    const char* path;
    const char* event;
    bool drag;         // the left button held; else a plain pointer movement
    double width;      // the client area at 100 %
    double height;
    Point start;       // where the pointer starts, in the client area at 100 %: the point dragged
    Point centre;      // the pointer circles round it
    double budget;     // times the floor; 0: reported only
};

// dorvane's A and skelvin's P1 lie at user (1, 1) on the same canvas place and scale. The
// circle stays nearer that point than the other one, so the same point follows all along.
const Program kFloor{"floor", DRAG_FLOOR_PATH, "drag step", true, 524, 492, {109, 241}, {69, 241}, 0};
const Program kLessons[] = {
    {"dorvane", DORVANE_PATH, "drag step", true, 524, 492, {109, 241}, {69, 241}, 1.5},
    {"skelvin", SKELVIN_PATH, "drag step", true, 520, 446, {109, 241}, {69, 241}, 1.5},
    {"quillet", QUILLET_PATH, "pointer movement", false, 417, 492, {288, 228}, {208, 228}, 1.5},
};

struct Showing {
    const char* name;
    bool fullScreen;
};
const Showing kShowings[] = {{"100 %", false}, {"full 1920x1080", true}};
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

void sleepMs(double ms) {
    std::this_thread::sleep_for(std::chrono::microseconds(std::lround(ms * 1000)));
}

pid_t spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& setting,
            int outputTo) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const bool replaced = std::ranges::any_of(setting, [&](const std::string& set) {
            return text.compare(0, set.find('=') + 1, set, 0, set.find('=') + 1) == 0;
        });
        if (!replaced && text.rfind("QT_", 0) != 0) environment.push_back(text);
    }
    environment.insert(environment.end(), setting.begin(), setting.end());
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outputTo >= 0)
        posix_spawn_file_actions_adddup2(&actions, outputTo, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

void stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int wait = 0; wait < 100; ++wait) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        sleepMs(20);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// The CPU time of every thread of the process so far, in ms: the scheduler's own
// nanosecond count, where /proc/PID/stat only has 10 ms ticks.
double cpuMs(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double total = 0;
    bool found = false;
    if (DIR* dir = opendir(tasks.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.') continue;
            std::ifstream in(tasks + "/" + entry->d_name + "/schedstat");
            long long ns = 0;
            if (in >> ns) {
                total += double(ns) / 1e6;
                found = true;
            }
        }
        closedir(dir);
    }
    if (found) return total;
    // No scheduler statistics: user and system time from the process's stat line.
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(in, line);
    const size_t close = line.rfind(')');
    if (close == std::string::npos) return -1;
    std::vector<std::string> fields;
    std::string field;
    for (size_t at = close + 2; at <= line.size(); ++at) {
        if (at == line.size() || line[at] == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += line[at];
        }
    }
    if (fields.size() < 13) return -1;
    return double(std::stoll(fields[11]) + std::stoll(fields[12])) * 1000 / double(sysconf(_SC_CLK_TCK));
}

long windowPid(Display* display, Window window) {
    static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data && count == 1 && format == 32)
        pid = long(*reinterpret_cast<unsigned long*>(data));
    if (data) XFree(data);
    return pid;
}

// The program's viewable top-level window of at least the given size, searched through
// the window manager's frames.
Window findWindow(Display* display, Window under, pid_t pid, int minWidth, int minHeight) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, under, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, children[i], &attributes)) continue;
        if (attributes.map_state != IsViewable) continue;
        if (windowPid(display, children[i]) == pid && attributes.width >= minWidth &&
            attributes.height >= minHeight)
            found = children[i];
        else
            found = findWindow(display, children[i], pid, minWidth, minHeight);
    }
    if (children) XFree(children);
    return found;
}

struct Sample {
    double msPerStep;
    bool ok;
};

Sample measure(Display* display, const std::string& displayName, const Program& program,
               const Showing& showing, int steps, double intervalMs, const std::string& shot) {
    std::vector<std::string> arguments{program.path};
    if (showing.fullScreen) arguments.emplace_back("--fullscreen");
    const pid_t pid = spawn(arguments,
                            {"DISPLAY=" + displayName, "QT_QPA_PLATFORM=xcb", "LANG=zh_CN.UTF-8"}, -1);
    if (pid <= 0) return {0, false};
    const int minWidth = showing.fullScreen ? kScreenWidth : int(program.width);
    const int minHeight = showing.fullScreen ? kScreenHeight : int(program.height);
    Window window = 0;
    for (int wait = 0; wait < 400 && !window; ++wait) {
        sleepMs(50);
        window = findWindow(display, DefaultRootWindow(display), pid, minWidth, minHeight);
    }
    if (!window) {
        stop(pid);
        return {0, false};
    }
    // Until the lesson has settled: skelvin plays its construction at start.
    double before = cpuMs(pid);
    for (int wait = 0; wait < 60; ++wait) {
        sleepMs(250);
        const double now = cpuMs(pid);
        const bool idle = now - before < 2;
        before = now;
        if (idle && wait >= 1) break;
    }
    int left = 0;
    int top = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &left, &top, &child);
    double zoom = 1;
    if (showing.fullScreen) {
        // The client area at the largest zoom that fits, centred.
        zoom = std::min(kScreenWidth / program.width, kScreenHeight / program.height);
        left += int((kScreenWidth - std::lround(program.width * zoom)) / 2);
        top += int((kScreenHeight - std::lround(program.height * zoom)) / 2);
    }
    const double radius = program.start.x - program.centre.x;
    const auto at = [&](int step) {
        const double angle = 2 * std::numbers::pi * step / 200;
        return Point{left + zoom * (program.centre.x + radius * std::cos(angle)),
                     top + zoom * (program.centre.y + radius * std::sin(angle))};
    };
    const int screen = DefaultScreen(display);
    XTestFakeMotionEvent(display, screen, int(std::lround(at(0).x)), int(std::lround(at(0).y)), 0);
    XFlush(display);
    sleepMs(200);
    const double start = cpuMs(pid);
    if (program.drag) XTestFakeButtonEvent(display, 1, True, 0);
    for (int step = 1; step <= steps; ++step) {
        const Point point = at(step);
        XTestFakeMotionEvent(display, screen, int(std::lround(point.x)), int(std::lround(point.y)), 0);
        XFlush(display);
        sleepMs(intervalMs);
    }
    if (!shot.empty()) {
        // Taken with the button still down, so that the picture shows the drag itself.
        sleepMs(200);
        const pid_t taker = spawn({"import", "-display", displayName, "-window", "root", shot}, {}, -1);
        if (taker > 0) waitpid(taker, nullptr, 0);
    }
    if (program.drag) XTestFakeButtonEvent(display, 1, False, 0);
    XFlush(display);
    sleepMs(200);
    const double end = cpuMs(pid);
    stop(pid);
    // The shot's own wait adds idle time only, but it is no part of a run's figure.
    return {(end - start) / steps, start >= 0 && end >= start && shot.empty()};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int optionValue(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const int steps = optionValue(argc, argv, "--steps", 300);
    const int runs = optionValue(argc, argv, "--runs", 7);
    const int intervalMs = optionValue(argc, argv, "--interval", 8);
    std::string shots;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--shots") == 0) shots = argv[i + 1];
    if (steps <= 0 || runs <= 0 || intervalMs <= 0) {
        std::fprintf(stderr,
                     "usage: drag-cpu-benchmark [--steps N] [--runs R] [--interval MS] [--shots DIR]\n");
        return 2;
    }

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return 1;
    const std::string screenSize =
        std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
    const pid_t xvfb = spawn({"Xvfb", "-displayfd", "1", "-screen", "0", screenSize, "-nolisten", "tcp"},
                             {}, pipeEnds[1]);
    close(pipeEnds[1]);
    char number[32] = {};
    const ssize_t got = xvfb > 0 ? read(pipeEnds[0], number, sizeof number - 1) : -1;
    close(pipeEnds[0]);
    if (got <= 0) {
        std::fprintf(stderr, "drag-cpu-benchmark: Xvfb did not start\n");
        stop(xvfb);
        return 1;
    }
    const std::string displayName = ":" + std::to_string(std::atoi(number));
    Display* display = XOpenDisplay(displayName.c_str());
    const pid_t openbox = spawn({"openbox"}, {"DISPLAY=" + displayName}, -1);
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!display || !XTestQueryExtension(display, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "drag-cpu-benchmark: no X display with XTest\n");
        stop(openbox);
        stop(xvfb);
        return 1;
    }
    sleepMs(1000);  // the window manager takes over the screen

    std::vector<const Program*> programs{&kFloor};
    for (const Program& lesson : kLessons) programs.push_back(&lesson);
    // samples[showing][program]; the programs take turns within each run, so that a change
    // in the machine's load falls on all alike.
    std::vector<std::vector<std::vector<double>>> samples(
        std::size(kShowings), std::vector<std::vector<double>>(programs.size()));
    bool failed = false;
    for (int run = 0; run < runs && !failed; ++run) {
        for (size_t shown = 0; shown < std::size(kShowings); ++shown) {
            for (size_t index = 0; index < programs.size(); ++index) {
                const Program& program = *programs[index];
                const Showing& showing = kShowings[shown];
                if (run == 0 && !shots.empty()) {
                    const std::string shot = shots + "/" + program.name + "-" +
                                             (showing.fullScreen ? "full" : "100") + ".png";
                    measure(display, displayName, program, showing, steps, intervalMs, shot);
                }
                const Sample sample =
                    measure(display, displayName, program, showing, steps, intervalMs, {});
                if (!sample.ok) {
                    std::fprintf(stderr, "drag-cpu-benchmark: measuring %s at %s failed\n",
                                 program.name, showing.name);
                    failed = true;
                    break;
                }
                samples[shown][index].push_back(sample.msPerStep);
            }
            if (failed) break;
        }
    }
    XCloseDisplay(display);
    stop(openbox);
    stop(xvfb);
    if (failed) return 1;

    std::printf(
        "Whole-process CPU per pointer event, real X input (XTest) under Xvfb %dx%d with "
        "openbox,\n%d events %d ms apart, median of %d runs; ratio: median of the runs' ratios\n",
        kScreenWidth, kScreenHeight, steps, intervalMs, runs);
    std::printf("%-8s %-17s %-15s %10s %10s %8s %8s\n", "program", "event", "shown", "ms/event",
                "floor ms", "ratio", "budget");
    bool allMet = true;
    for (size_t shown = 0; shown < std::size(kShowings); ++shown) {
        const double floor = median(samples[shown][0]);
        for (size_t index = 0; index < programs.size(); ++index) {
            const Program& program = *programs[index];
            const double cost = median(samples[shown][index]);
            if (index == 0) {
                std::printf("%-8s %-17s %-15s %10.4f\n", program.name, program.event,
                            kShowings[shown].name, cost);
                continue;
            }
            // The machine's speed drifts between runs, and within a run the floor and the
            // lessons are measured back to back: the ratio is the median of each run's own.
            std::vector<double> ratios;
            for (std::size_t run = 0; run < samples[shown][index].size(); ++run)
                ratios.push_back(samples[shown][index][run] / samples[shown][0][run]);
            const double ratio = median(ratios);
            const bool met = program.budget == 0 || ratio <= program.budget;
            allMet = allMet && met;
            char budget[16] = "-";
            if (program.budget > 0) std::snprintf(budget, sizeof budget, "%.2f", program.budget);
            std::printf("%-8s %-17s %-15s %10.4f %10.4f %8.2f %8s %s\n", program.name, program.event,
                        kShowings[shown].name, cost, floor, ratio, budget, met ? "" : "MISSED");
        }
    }
    return allMet ? 0 : 3;
}
