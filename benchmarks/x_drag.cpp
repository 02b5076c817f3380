// SPDX-License-Identifier: GPL-3.0-or-later
#include "x_drag.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numbers>
#include <thread>

extern char** environ;

namespace xdrag {

// dorvane's A and skelvin's P1 lie at user (1, 1) on the same canvas place and scale. The
// circle stays nearer that point than the other one, so the same point follows all along.
Program floorProgram() {
    return {"floor", DRAG_FLOOR_PATH, "drag step", true, 524, 492, {109, 241}, {69, 241}, 0};
}

std::vector<Program> lessonPrograms() {
    return {
        {"dorvane", DORVANE_PATH, "drag step", true, 524, 492, {109, 241}, {69, 241}, 1.5},
        {"skelvin", SKELVIN_PATH, "drag step", true, 520, 446, {109, 241}, {69, 241}, 1.5},
        {"quillet", QUILLET_PATH, "pointer movement", false, 417, 492, {288, 228}, {208, 228}, 1.5},
    };
}

const char* const kProgramPathUsage = "[--build DIR] [--floor|--dorvane|--skelvin|--quillet PATH]";

bool takeProgramPath(int argc, char** argv, int& at, Program& floor,
                     std::vector<Program>& lessons) {
    if (at + 1 >= argc) return false;
    const std::string option = argv[at];
    const std::string value = argv[at + 1];
    if (option == "--build") {
        // Where a build tree keeps them, this one's or another worktree's.
        floor.path = value + "/benchmarks/drag-floor";
        for (Program& lesson : lessons) {
            const std::string folder = std::strcmp(lesson.name, "dorvane") == 0   ? "distance"
                                       : std::strcmp(lesson.name, "skelvin") == 0 ? "slope"
                                                                                  : "inclination";
            lesson.path = value + "/" + folder + "/" + lesson.name;
        }
        at += 1;
        return true;
    }
    if (option == "--floor") {
        floor.path = value;
        at += 1;
        return true;
    }
    for (Program& lesson : lessons) {
        if (option == std::string("--") + lesson.name) {
            lesson.path = value;
            at += 1;
            return true;
        }
    }
    return false;
}

bool parseCount(const char* text, int& value) {
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || parsed < 1 || parsed > 1000000) return false;
    value = int(parsed);
    return true;
}

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
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
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

// The scheduler's own nanosecond count, where /proc/PID/stat only has 10 ms ticks.
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
    return double(std::stoll(fields[11]) + std::stoll(fields[12])) * 1000 /
           double(sysconf(_SC_CLK_TCK));
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    if (n == 0) return 0;
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto rank = size_t(std::ceil(share * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

namespace {

long windowPid(Display* display, Window window) {
    static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
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

}  // namespace

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
    server.display = nullptr;
    stop(server.openbox);
    stop(server.xvfb);
}

Dragged::Dragged(const XServer& screen, const Program& program, const Showing& showing,
                 const std::vector<std::string>& wrapper)
    : screen_(screen), program_(program) {
    std::vector<std::string> arguments = wrapper;
    arguments.push_back(program.path);
    if (showing.fullScreen) arguments.emplace_back("--fullscreen");
    pid_ =
        spawn(arguments, {"DISPLAY=" + screen.name, "QT_QPA_PLATFORM=xcb", "LANG=zh_CN.UTF-8"}, -1);
    if (pid_ <= 0) return;
    const int minWidth = showing.fullScreen ? kScreenWidth : int(program.width);
    const int minHeight = showing.fullScreen ? kScreenHeight : int(program.height);
    Display* display = screen.display;
    // 20 s, and ten times that under a wrapper: valgrind starts a Qt program slowly.
    const int tries = wrapper.empty() ? 400 : 4000;
    for (int wait = 0; wait < tries && !window_; ++wait) {
        sleepMs(50);
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        window_ = findWindow(display, DefaultRootWindow(display), pid_, minWidth, minHeight);
    }
    if (!window_) return;
    Window child = 0;
    XTranslateCoordinates(display, window_, DefaultRootWindow(display), 0, 0, &left_, &top_,
                          &child);
    if (showing.fullScreen) {
        // The client area at the largest zoom that fits, centred.
        zoom_ = std::min(kScreenWidth / program.width, kScreenHeight / program.height);
        left_ += int((kScreenWidth - std::lround(program.width * zoom_)) / 2);
        top_ += int((kScreenHeight - std::lround(program.height * zoom_)) / 2);
    }
    ready_ = true;
}

Dragged::~Dragged() {
    stop(pid_);
}

bool Dragged::settled() const {
    double before = cpuMs(pid_);
    for (int wait = 0; wait < 60; ++wait) {
        sleepMs(250);
        const double now = cpuMs(pid_);
        if (now - before < 2 && wait >= 1) return true;
        before = now;
    }
    return false;
}

Point Dragged::at(int step, int stepsPerTurn) const {
    const double radius = program_.start.x - program_.centre.x;
    const double angle = 2 * std::numbers::pi * step / stepsPerTurn;
    return {left_ + zoom_ * (program_.centre.x + radius * std::cos(angle)),
            top_ + zoom_ * (program_.centre.y + radius * std::sin(angle))};
}

void Dragged::moveTo(int step, int stepsPerTurn) const {
    const Point place = at(step, stepsPerTurn);
    XTestFakeMotionEvent(screen_.display, DefaultScreen(screen_.display), int(std::lround(place.x)),
                         int(std::lround(place.y)), 0);
    XFlush(screen_.display);
}

void Dragged::press(bool down) const {
    if (!program_.drag) return;
    XTestFakeButtonEvent(screen_.display, 1, down ? True : False, 0);
    XFlush(screen_.display);
}

}  // namespace xdrag
