// SPDX-License-Identifier: GPL-3.0-or-later
// What the real-X benchmarks share: a private Xvfb with openbox, a program started on it
// and found by its process, a drag driven through XTest, and the process's CPU time.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace xdrag {

struct Point {
    double x;
    double y;
};

struct Program {
    const char* name;
    std::string path;
    const char* event;
    bool drag;     // the left button held; else a plain pointer movement
    double width;  // the client area at 100 %
    double height;
    Point start;    // where the pointer starts, in the client area at 100 %: the point dragged
    Point centre;   // the pointer circles round it
    double budget;  // times the floor; 0: reported only
};

// The bare Qt drag and the three lessons, at the paths this build made; an option may
// point any of them at another build.
Program floorProgram();
std::vector<Program> lessonPrograms();

// Reads "--NAME PATH" (NAME floor, dorvane, skelvin, quillet) or "--build DIR" (all four
// from another build tree) at argv[at]; true and at moved past the value when it was one.
bool takeProgramPath(int argc, char** argv, int& at, Program& floor, std::vector<Program>& lessons);
extern const char* const kProgramPathUsage;

// A whole number of at least 1 from an option's value; false for anything else.
bool parseCount(const char* text, int& value);

struct Showing {
    const char* name;
    bool fullScreen;
};
inline constexpr Showing kShowings[] = {{"100 %", false}, {"full 1920x1080", true}};
inline constexpr int kScreenWidth = 1920;
inline constexpr int kScreenHeight = 1080;

void sleepMs(double ms);
// Started with the given variables set (and Qt's own cleared), standard output to outputTo
// (or nowhere when negative), standard error nowhere; -1 when it cannot start.
pid_t spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& setting,
            int outputTo);
void stop(pid_t pid);
// The CPU time of every thread of the process so far, in ms.
double cpuMs(pid_t pid);
double median(std::vector<double> values);
// The value below which the given share of the values lie (nearest rank).
double percentile(std::vector<double> values, double share);

// One X server of its own with a window manager.
struct XServer {
    pid_t xvfb = -1;
    pid_t openbox = -1;
    std::string name;
    Display* display = nullptr;
};
XServer openServer();
void closeServer(XServer& server);

// A program started on an X server, found on its screen, and dragged there through XTest.
class Dragged {
public:
    // With wrapper, the program is started under it (e.g. valgrind and its options), and
    // its window is waited for that much longer.
    Dragged(const XServer& screen, const Program& program, const Showing& showing,
            const std::vector<std::string>& wrapper = {});
    ~Dragged();
    Dragged(const Dragged&) = delete;
    Dragged& operator=(const Dragged&) = delete;

    bool ready() const { return ready_; }
    pid_t pid() const { return pid_; }
    Window window() const { return window_; }
    double zoom() const { return zoom_; }

    // Until the program has settled: skelvin plays its construction at start.
    bool settled() const;

    // The pointer's place at a step of a circle of the given number of steps round the
    // program's centre, on the root window.
    Point at(int step, int stepsPerTurn = 200) const;
    void moveTo(int step, int stepsPerTurn = 200) const;
    void press(bool down) const;

private:
    const XServer& screen_;
    const Program& program_;
    pid_t pid_ = -1;
    Window window_ = 0;
    int left_ = 0;
    int top_ = 0;
    double zoom_ = 1;
    bool ready_ = false;
};

}  // namespace xdrag
