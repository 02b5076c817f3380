// SPDX-License-Identifier: GPL-3.0-or-later
// drag-cpu-benchmark [--steps N] [--runs R] [--interval MS] [--shots DIR] [--each] [--calibrate]
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

// One X server of its own with a window manager.
struct XServer {
    pid_t xvfb = -1;
    pid_t openbox = -1;
    std::string name;
    Display* display = nullptr;
};

XServer openServer() {
    XServer server;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return server;
    const std::string size =
        std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
    server.xvfb = spawn({"Xvfb", "-displayfd", "1", "-screen", "0", size, "-nolisten", "tcp"}, {},
                        pipeEnds[1]);
    close(pipeEnds[1]);
    char number[32] = {};
    const ssize_t got = server.xvfb > 0 ? read(pipeEnds[0], number, sizeof number - 1) : -1;
    close(pipeEnds[0]);
    if (got <= 0) return server;
    server.name = ":" + std::to_string(std::atoi(number));
    server.display = XOpenDisplay(server.name.c_str());
    server.openbox = spawn({"openbox"}, {"DISPLAY=" + server.name}, -1);
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (server.display && !XTestQueryExtension(server.display, &event, &error, &major, &minor)) {
        XCloseDisplay(server.display);
        server.display = nullptr;
    }
    return server;
}

void closeServer(XServer& server) {
    if (server.display) XCloseDisplay(server.display);
    stop(server.openbox);
    stop(server.xvfb);
}

// A program started on an X server, found on its screen, and dragged there through XTest.
class Dragged {
public:
    Dragged(const XServer& screen, const Program& program, const Showing& showing)
        : screen_(screen), program_(program) {
        std::vector<std::string> arguments{program.path};
        if (showing.fullScreen) arguments.emplace_back("--fullscreen");
        pid_ = spawn(arguments,
                     {"DISPLAY=" + screen.name, "QT_QPA_PLATFORM=xcb", "LANG=zh_CN.UTF-8"}, -1);
        if (pid_ <= 0) return;
        const int minWidth = showing.fullScreen ? kScreenWidth : int(program.width);
        const int minHeight = showing.fullScreen ? kScreenHeight : int(program.height);
        Display* display = screen.display;
        Window window = 0;
        for (int wait = 0; wait < 400 && !window; ++wait) {
            sleepMs(50);
            window = findWindow(display, DefaultRootWindow(display), pid_, minWidth, minHeight);
        }
        if (!window) return;
        Window child = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &left_, &top_,
                              &child);
        if (showing.fullScreen) {
            // The client area at the largest zoom that fits, centred.
            zoom_ = std::min(kScreenWidth / program.width, kScreenHeight / program.height);
            left_ += int((kScreenWidth - std::lround(program.width * zoom_)) / 2);
            top_ += int((kScreenHeight - std::lround(program.height * zoom_)) / 2);
        }
        ready_ = true;
    }
    ~Dragged() { stop(pid_); }
    Dragged(const Dragged&) = delete;
    Dragged& operator=(const Dragged&) = delete;

    bool ready() const { return ready_; }
    pid_t pid() const { return pid_; }

    // Until the program has settled: skelvin plays its construction at start.
    bool settled() const {
        double before = cpuMs(pid_);
        for (int wait = 0; wait < 60; ++wait) {
            sleepMs(250);
            const double now = cpuMs(pid_);
            if (now - before < 2 && wait >= 1) return true;
            before = now;
        }
        return false;
    }

    void moveTo(int step) const {
        const double radius = program_.start.x - program_.centre.x;
        const double angle = 2 * std::numbers::pi * step / 200;
        const double x = left_ + zoom_ * (program_.centre.x + radius * std::cos(angle));
        const double y = top_ + zoom_ * (program_.centre.y + radius * std::sin(angle));
        XTestFakeMotionEvent(screen_.display, DefaultScreen(screen_.display), int(std::lround(x)),
                             int(std::lround(y)), 0);
        XFlush(screen_.display);
    }

    void press(bool down) const {
        if (!program_.drag) return;
        XTestFakeButtonEvent(screen_.display, 1, down ? True : False, 0);
        XFlush(screen_.display);
    }

private:
    const XServer& screen_;
    const Program& program_;
    pid_t pid_ = -1;
    int left_ = 0;
    int top_ = 0;
    double zoom_ = 1;
    bool ready_ = false;
};

struct Sample {
    double lessonMs;  // per step
    double floorMs;
    bool ok;
};

// The lesson on one screen and the floor on the other, dragged step by step in turn, half
// an interval apart: whatever the machine does meanwhile falls on both alike.
Sample measure(const XServer& lessonScreen, const XServer& floorScreen, const Program& program,
               const Showing& showing, int steps, double intervalMs, const std::string& shot) {
    const Dragged lesson(lessonScreen, program, showing);
    const Dragged floor(floorScreen, kFloor, showing);
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
    const auto given = [&](const char* option) {
        return std::any_of(argv + 1, argv + argc,
                           [option](const char* arg) { return std::strcmp(arg, option) == 0; });
    };
    const bool each = given("--each");
    const bool calibrate = given("--calibrate");
    if (steps <= 0 || runs <= 0 || intervalMs <= 0) {
        std::fprintf(stderr,
                     "usage: drag-cpu-benchmark [--steps N] [--runs R] [--interval MS] "
                     "[--shots DIR] [--each] [--calibrate]\n");
        return 2;
    }

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
    std::vector<Program> lessons(std::begin(kLessons), std::end(kLessons));
    if (calibrate) lessons.assign(1, kFloor);
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
                    measure(lessonScreen, floorScreen, program, showing, steps, intervalMs, shot);
                }
                const Sample sample =
                    measure(lessonScreen, floorScreen, program, showing, steps, intervalMs, {});
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
