#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The three lessons as a screen reader sees them from outside the process, over AT-SPI:
# each runs in a real window on a private X display, the test reads its accessible tree,
# checks names, roles and relations, moves a point (or quillet's pointer) by keys and
# waits for the new text and its change event. Run under dbus-run-session by run-atspi.sh.
import os
import select
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

FAILURES = []


def check(condition, what):
    print(("PASS   : " if condition else "FAIL!  : ") + what, flush=True)
    if not condition:
        FAILURES.append(what)


def pump(seconds):
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        if not context.iteration(False):
            time.sleep(0.01)


def wait_for(condition, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        pump(0.05)
    return condition()


class Display:
    """An Xvfb server on a free display, with openbox for focus and activation."""

    def __init__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            if not select.select([read], [], [], 1)[0]:
                continue
            more = os.read(read, 32)
            if not more:
                break
            number += more
        os.close(read)
        number = number.strip()
        if not number:
            self.server.kill()
            raise RuntimeError("Xvfb did not report a display")
        self.env = dict(os.environ, DISPLAY=":" + number.decode())
        for variable in ("QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "QT_ACCESSIBILITY"):
            self.env.pop(variable, None)
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        ready = lambda: subprocess.run(["xdpyinfo"], env=self.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL).returncode == 0
        if not wait_for(ready, 20):
            self.server.kill()
            raise RuntimeError("Xvfb does not answer")
        self.others = [subprocess.Popen(["openbox"], env=self.env, stderr=subprocess.DEVNULL)]
        # The window manager is up once it names itself on the root window.
        managed = lambda: b"window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
            capture_output=True).stdout
        if not wait_for(managed, 20):
            self.close()
            raise RuntimeError("openbox did not start")

    def start(self, program):
        log = open(os.path.join(os.environ.get("TMPDIR", "/tmp"), "atspi-lesson.log"), "ab")
        process = subprocess.Popen([program], env=self.env, stdout=log, stderr=log)
        self.others.append(process)
        return process

    def xdotool_while_pumping(self, *arguments):
        process = subprocess.Popen(["xdotool", *arguments], env=self.env)
        while process.poll() is None:
            pump(0.02)

    def xdotool(self, *arguments):
        return subprocess.run(["xdotool", *arguments], env=self.env,
                              stdout=subprocess.DEVNULL).returncode == 0

    def close(self):
        for process in reversed(self.others):
            process.terminate()
            process.wait(10)
        self.server.terminate()
        self.server.wait(10)


def start_display(attempts=3):
    """A display, tried afresh a few times: on a busy machine a new server has been seen to
    refuse its first client."""
    for attempt in range(1, attempts + 1):
        try:
            return Display()
        except (OSError, RuntimeError) as error:
            print(f"    display, attempt {attempt}: {error}", flush=True)
            if attempt == attempts:
                raise


def start_registry(seconds=120):
    """Starts the accessibility bus and the registry on it and waits for both; returns why
    not, or None. Left to the client library, their start on a loaded machine can outlast
    its D-Bus timeout, and it then has no desktop at all."""
    flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
             | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
    end = time.monotonic() + seconds
    why = "no answer"
    while time.monotonic() < end:
        try:
            session = Gio.bus_get_sync(Gio.BusType.SESSION)
            address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                        "GetAddress", None, GLib.VariantType("(s)"),
                                        Gio.DBusCallFlags.NONE, 60000).unpack()[0]
            bus = Gio.DBusConnection.new_for_address_sync(address, flags)
            bus.call_sync("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root",
                          "org.freedesktop.DBus.Peer", "Ping", None, None,
                          Gio.DBusCallFlags.NONE, 60000)
            return None
        except GLib.Error as error:
            why = error.message
            time.sleep(1)
    return why


def application(name):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == name:
            return app
    return None


def nodes(root):
    """Every node below root, depth first, as (node, role, name, states)."""
    out = []

    def visit(node):
        for i in range(node.get_child_count()):
            child = node.get_child_at_index(i)
            if child is None:
                continue
            states = child.get_state_set()
            out.append((child, child.get_role_name(), child.get_name() or "", states))
            visit(child)

    visit(root)
    return out


def find(root, name, role=None):
    for node, node_role, node_name, _ in nodes(root):
        if node_name == name and (role is None or node_role == role):
            return node
    return None


def focused(root):
    for node, _, name, states in nodes(root):
        if states.contains(Atspi.StateType.FOCUSED):
            return name
    return None


def labelled_by(node):
    names = []
    for relation in node.get_relation_set():
        if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY:
            names += [relation.get_target(i).get_name() for i in range(relation.get_n_targets())]
    return names


def print_tree(title, root):
    print(f"--- {title}")
    for _, role, name, states in nodes(root):
        if name and role != "filler":
            hidden = "" if states.contains(Atspi.StateType.SHOWING) else " (not shown)"
            print(f"    {role}: {name}{hidden}")


class Events:
    """Name- and description-change events, with the time each came and the text it
    announced (the new name, or the new description)."""

    def __init__(self):
        self.seen = []
        self.descriptions = []
        self.listener = Atspi.EventListener.new(self.on_event)
        self.listener.register("object:property-change:accessible-name")
        self.listener.register("object:property-change:accessible-description")

    def on_event(self, event):
        described = event.type.endswith("accessible-description")
        try:
            text = event.source.get_description() if described else event.source.get_name()
        except GLib.Error:
            text = "?"
        (self.descriptions if described else self.seen).append((time.monotonic(), text))

    def names(self):
        return [name for _, name in self.seen]

    def clear(self):
        self.seen = []
        self.descriptions = []


def open_lesson(display, program, name, title, expected):
    display.start(program)
    # Generous: a lesson starting on a loaded machine may take long to register.
    check(wait_for(lambda: application(name) is not None, 60), f"{name}: found on the AT-SPI bus")
    app = application(name)
    if app is None:
        return None
    display.xdotool("search", "--sync", "--name", f"^{title}$", "windowactivate", "--sync")
    check(wait_for(lambda: find(app, expected) is not None), f"{name}: shows {expected}")
    wait_for(lambda: focused(app) is not None, 10)
    return app


def unnamed_images(app):
    return [node for node, role, name, _ in nodes(app) if role == "image" and not name]


def key_step(display, events, app, name, keys, expected, what):
    events.clear()
    started = time.monotonic()
    display.xdotool("key", "--clearmodifiers", *keys)
    check(wait_for(lambda: find(app, expected) is not None, 10), f"{what}: reads {expected}")
    check(wait_for(lambda: expected in events.names(), 5), f"{what}: change event for {expected}")
    print(f"    events: {events.names()} within {time.monotonic() - started:.2f} s")


AXIS_ARC = "倾斜角 α：直线与 x 轴相交处的弧，"
LEVEL_ARC = "倾斜角 α：直线水平，没有弧"
KEY_HELP = "。方向键移动指针 0.5，Shift 加方向键移动 0.1"


def distance(display, events, program):
    app = open_lesson(display, program, "dorvane", "两点间的距离公式", "A(1,1)")
    if app is None:
        return
    print_tree("dorvane at start-up", app)
    check(focused(app) == "坐标平面", "dorvane: the canvas has the focus at start-up")
    check(find(app, "提示", "push button") is not None, "dorvane: the emblem is a button 提示")
    check(find(app, "显示公式", "push button") is not None, "dorvane: the sliver is 显示公式")
    check(find(app, "|AB| = √(|OA|² + |OB|²)") is not None, "dorvane: the formula picture")
    check(find(app, "|AB| = √(3² + 4²) = 5") is not None, "dorvane: the row as one sentence")
    check(find(app, "5", "label") is None, "dorvane: no bare number of the row")
    check(find(app, "Command2") is None, "dorvane: nothing called Command2")
    check(find(app, "线段 AB", "image") is not None, "dorvane: the segment is 线段 AB")
    check(not unnamed_images(app), f"dorvane: {len(unnamed_images(app))} unnamed images")
    key_step(display, events, app, "dorvane", ["shift+Right"], "A(2,1)", "dorvane Shift+Right")
    check(find(app, "|AB| = √(2² + 4²) = 4.47213595499958") is not None,
          "dorvane: the sentence follows the step")
    key_step(display, events, app, "dorvane", ["space", "Up"], "B(4,5.1)", "dorvane Space, Up")
    print_tree("dorvane after the key steps", app)


def slope(display, events, program):
    app = open_lesson(display, program, "skelvin", "斜率公式", "x₁ = 1")
    if app is None:
        return
    pump(2)  # the start-up construction
    print_tree("skelvin at start-up", app)
    check(focused(app) == "坐标平面", "skelvin: the canvas has the focus at start-up")
    for tag in ("x₁ = 1", "x₂ = 4", "y₁ = 1", "y₂ = 5", "P₁(1, 1)", "P₂(4, 5)"):
        check(find(app, tag) is not None, f"skelvin: the tag reads {tag}")
    formula = find(app, "k = (y₂ − y₁) / (x₂ − x₁), x₁ ≠ x₂")
    check(formula is not None and labelled_by(formula) == ["斜率公式："],
          "skelvin: the formula picture, labelled by 斜率公式：")
    check(not unnamed_images(app), f"skelvin: {len(unnamed_images(app))} unnamed images")
    check(find(app, "直线 P₁P₂", "image") is not None, "skelvin: the line is 直线 P₁P₂")
    # The two α marks say where their arcs are and what kind of angle they show.
    arcs = [name for _, _, name, _ in nodes(app) if name.startswith("倾斜角 α")]
    print(f"    the arcs: {arcs}")
    check(arcs == [AXIS_ARC + "锐角", "倾斜角 α：P₁ 处的弧，锐角"], "skelvin: the arcs, acute")
    key_step(display, events, app, "skelvin", ["shift+Right"], "x₁ = 2", "skelvin Shift+Right")
    check(find(app, "P₁(2, 1)") is not None, "skelvin: P₁ follows")
    key_step(display, events, app, "skelvin", ["space", "shift+Up"], "y₂ = 6",
             "skelvin Space, Shift+Up")
    print_tree("skelvin after the key steps", app)
    # P₂ down to P₁'s height leaves no arc, and below it the angle is obtuse.
    key_step(display, events, app, "skelvin", ["shift+Down"] * 5, LEVEL_ARC, "skelvin level")
    check(find(app, "y₂ = 1") is not None, "skelvin: level at y₂ = 1")
    key_step(display, events, app, "skelvin", ["shift+Down"], "倾斜角 α：P₂ 处的弧，钝角",
             "skelvin falling")
    check(find(app, AXIS_ARC + "钝角") is not None, "skelvin: the arc at the axis, obtuse")


def calculator(display, events, program):
    app = open_lesson(display, program, "quillet", "Tavrelo与斜率", "直线的斜率：")
    if app is None:
        return
    print_tree("quillet at start-up", app)
    check(focused(app) == "坐标平面", "quillet: the canvas has the focus at start-up")
    for box in ("x 最大值", "x 最小值", "y 最大值", "y 最小值"):
        check(find(app, box, "text") is not None, f"quillet: a box named {box}")
    check(not unnamed_images(app), f"quillet: {len(unnamed_images(app))} unnamed images")
    canvas = find(app, "坐标平面")
    check(canvas.get_description() == "指针 (4, 2)" + KEY_HELP, "quillet: the pointer at start-up")
    key_step(display, events, app, "quillet", ["Right"], "38.66°", "quillet Right")
    check(labelled_by(find(app, "38.66°")) == ["Tavrelo："], "quillet: the angle's caption")
    check(labelled_by(find(app, "0.8")) == ["直线的斜率："], "quillet: the slope's caption")
    print_tree("quillet after the key step", app)
    told = [text for _, text in events.descriptions]
    print(f"    description events: {told}")
    check(told == ["指针 (4.5, 2)" + KEY_HELP], "quillet: the key step tells the pointer")

    # A held key: the first step told at once, at most four a second after it, and the
    # place where the pointer stopped once the key is let go.
    events.clear()
    started = time.monotonic()
    display.xdotool_while_pumping("keydown", "Up", "sleep", "1.5", "keyup", "Up")
    holding = time.monotonic() - started
    pump(1)
    told = [(round(at - started, 2), text.split("。")[0]) for at, text in events.descriptions]
    print(f"    {len(told)} pointer announcements, holding for {holding:.2f} s: {told}")
    check(2 <= len(told) <= 4 * holding + 2, "quillet: pointer announcements are throttled")
    check(bool(told) and canvas.get_description() == told[-1][1] + KEY_HELP,
          "quillet: the last announcement is where the pointer is")

    # A second and more of pointer movement: at most four announcements a second of the
    # angle, and the last one once the movement stops.
    box = canvas.get_extents(Atspi.CoordType.SCREEN)
    moves = []
    for i in range(40):
        moves += ["mousemove", str(box.x + box.width // 2 + 40 + i * 2),
                  str(box.y + box.height // 4), "sleep", "0.04"]
    events.clear()
    started = time.monotonic()
    display.xdotool_while_pumping(*moves)
    moving = time.monotonic() - started
    pump(1)
    angles = [(round(at - started, 2), name) for at, name in events.seen if name.endswith("°")]
    print(f"    {len(angles)} angle announcements, moving for {moving:.2f} s: {angles}")
    check(2 <= len(angles) <= 4 * moving + 2, "quillet: announcements are throttled")
    last = find(app, "Tavrelo：").get_parent()
    check(bool(angles) and angles[-1][1] in [name for _, _, name, _ in nodes(last)],
          "quillet: the last announcement is the angle shown")


def main():
    started = time.monotonic()
    programs = dict(arg.split("=", 1) for arg in sys.argv[1:])
    try:
        display = start_display()
    except (OSError, RuntimeError) as error:
        print(f"SKIP   : no X display: {error}")
        return 0
    try:
        why = start_registry()
        if why is not None:
            print(f"SKIP   : the AT-SPI registry did not start: {why}")
            return 0
        Atspi.init()
        if Atspi.get_desktop(0) is None:
            print("SKIP   : the AT-SPI client found no desktop")
            return 0
        events = Events()
        distance(display, events, programs["dorvane"])
        slope(display, events, programs["skelvin"])
        calculator(display, events, programs["quillet"])
    finally:
        display.close()
    print(f"Totals: {len(FAILURES)} failed, in {time.monotonic() - started:.1f} s")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
