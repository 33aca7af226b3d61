#!/usr/bin/env python3
"""The built program in a real X server: a check against the sandbox engines, then Save as.

usage: check_and_save.py PROGRAM SANDBOX

Runs in an Xvfb server of its own. Starts the sandbox engines, starts the program with them, types
a site and a keyword, starts the check, waits for the result cells to take their colours, checks
the requests the sandbox received, saves the project through the menu and the save dialog,
compares the written file, and exits the program through the menu. Exit code 77 means a needed
tool is missing (the test is skipped).
"""

import base64
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import urllib.request

SKIP = 77
KEYWORD = "elephant"
SITE = "www.example.ru"
CLIENT_HEIGHT = 644
FRAME_AT = (4, 24)  # the project frame inside the tab strip

# Frame coordinates of the controls (the frame's fixed design).
SITE_EDIT = (10 + 200, 27 + 10)
KEYWORD1_EDIT = (8 + 19 + 100, 54 + 64 + 10)
START_BUTTON = (269 + 16 + 111, 367 + 175 + 24)


def rank_cell(column):
    """A point inside the Rank cell of keyword 1 of engine column 0..5, left of its text."""
    return (8 + 255 + 116 * column + 4 + 5, 54 + 64 + 10)


YANDEX_RANK1 = rank_cell(2)
RAMBLER_RANK1 = rank_cell(3)
FIRST_PAGE = (192, 220, 192)  # clMoneyGreen
OTHER_PAGE = (0, 0, 128)  # clNavy


X_SERVER = {}


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    server = X_SERVER.get("process")
    if server is not None and server.poll() is not None:
        print("the X server had ended with code %d:" % server.returncode, file=sys.stderr)
        X_SERVER["log"].seek(0)
        sys.stderr.write(X_SERVER["log"].read().decode(errors="replace")[-2000:])
    sys.exit(1)


def run(*args, **kw):
    return subprocess.run(list(args), check=True, capture_output=True, text=True, **kw).stdout


def xdotool(*args):
    return run("xdotool", *args)


def expected_project(site, keyword1, checked=("RamblerRu", "YandexRu")):
    lines = []
    for engine in ("AportRu", "GoogleCom", "GoogleRu", "MSNCom", "RamblerRu", "YandexRu"):
        lines += ["[CheckBox%s: TcxPropertiesStoreComponent]" % engine, "=",
                  'Checked="%s"' % ("True" if engine in checked else "False"), ""]
    for n in range(1, 8):
        lines += ["[edKeyWord%d: TcxPropertiesStoreComponent]" % n, "=",
                  'Text="%s"' % (keyword1 if n == 1 else ""), ""]
    lines += ["[edWEB: TcxPropertiesStoreComponent]", "=", 'Text="%s"' % site, ""]
    return "".join(line + "\r\n" for line in lines).encode("cp1251")


class Sandbox:
    def __init__(self, binary, folder, *options):
        self.endpoints = os.path.join(folder, "endpoints.ini")
        self.process = subprocess.Popen(
            [binary, "--endpoints-out", self.endpoints, "--interval-ms", "20", "--exit-on-stdin-close", *options],
            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while not os.path.exists(self.endpoints):
            if time.monotonic() > deadline or self.process.poll() is not None:
                fail("the sandbox engines did not start")
            time.sleep(0.05)
        self.control = None
        with open(self.endpoints, encoding="utf-8") as f:
            for line in f:
                if line.strip().startswith("Control="):
                    self.control = line.strip().split("=", 1)[1]
        if not self.control:
            fail("the sandbox wrote no control address")

    def command(self, text):
        request = urllib.request.Request("http://%s/control" % self.control, data=text.encode("utf-8"),
                                         method="POST")
        with urllib.request.urlopen(request, timeout=10) as reply:
            if reply.status != 200:
                fail("sandbox refused: " + text)

    def log(self):
        with urllib.request.urlopen("http://%s/log" % self.control, timeout=10) as reply:
            entries = [json.loads(line) for line in reply.read().decode().splitlines() if line.strip()]
        for entry in entries:
            entry["target"] = base64.b64decode(entry["target"])
        return entries

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()


def pointer_click(x, y):
    # No --sync: it waits for a motion that never comes when the pointer is already there.
    xdotool("mousemove", str(x), str(y))
    time.sleep(0.05)
    xdotool("click", "1")


def window_geometry(wid):
    """x, y, width and height of a window on the screen."""
    values = dict(line.split("=", 1) for line in xdotool("getwindowgeometry", "--shell", wid).split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


class Window:
    def __init__(self, wid):
        self.wid = wid
        self.x, self.y, self.width, self.height = window_geometry(wid)
        # The menu bar lies above the 982 x 644 client area.
        self.frame_x = self.x + FRAME_AT[0]
        self.frame_y = self.y + (self.height - CLIENT_HEIGHT) + FRAME_AT[1]

    def at(self, point):
        return self.frame_x + point[0], self.frame_y + point[1]

    def open_first_menu(self):
        """Clicks "Основное" in the menu bar; the menu drops down with no item highlighted."""
        pointer_click(self.x + 30, self.y + (self.height - CLIENT_HEIGHT) // 2)
        time.sleep(0.3)

    def open_about_menu(self, settle=0.3):
        """Clicks "О программе" in the menu bar; Up then highlights its last item."""
        pointer_click(self.x + 109, self.y + (self.height - CLIENT_HEIGHT) // 2)
        time.sleep(settle)

    def click(self, point):
        pointer_click(*self.at(point))

    def pixel(self, shot, point):
        x, y = self.at(point)
        text = run("convert", shot, "-format", "%%[pixel:p{%d,%d}]" % (x, y), "info:")
        inside = text[text.index("(") + 1:text.index(")")]
        return tuple(int(float(v.rstrip("%")) * (2.55 if v.endswith("%") else 1)) for v in inside.split(",")[:3])


def screenshot(folder, name="shot.png"):
    path = os.path.join(folder, name)
    run("import", "-window", "root", path)
    return path


def windows_named(pattern):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern], capture_output=True,
                          text=True).stdout.split()


def find_window(name, timeout=30, process=None):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if process is not None and process.poll() is not None:
            fail("the program ended with code %d before its window appeared" % process.returncode)
        found = windows_named(name)
        if found:
            return found[0]
        time.sleep(0.1)
    return None


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.25)
    fail("timed out waiting for " + what)


def key(*names):
    for name in names:
        xdotool("key", "--clearmodifiers", name)
        time.sleep(0.15)


def scenario(program, sandbox_binary, folder):
    sandbox = Sandbox(sandbox_binary, folder)
    try:
        sandbox.command("place YandexRu %s 3\nplace RamblerRu %s 0\n" % (KEYWORD, KEYWORD))
        program_process = subprocess.Popen([program], env=program_environment(folder, sandbox.endpoints), cwd=folder)
        try:
            check_and_save(program_process, sandbox, folder)
        finally:
            if program_process.poll() is None:
                program_process.kill()
                program_process.wait()
    finally:
        sandbox.stop()


def malformed_endpoints(program, folder):
    """A malformed endpoint file: an error box, and after OK the program ends with a non-zero code."""
    path = os.path.join(folder, "bad-endpoints.ini")
    with open(path, "w", encoding="utf-8") as f:
        f.write("[hosts]\nGoogleCom=not a host\n")
    process = subprocess.Popen([program], env=program_environment(folder, path), cwd=folder)
    try:
        if not find_window("^Kestrova Sertrix$", 30, process):
            fail("no error box for a malformed endpoint file")
        time.sleep(0.5)
        key("Return")
        code = process.wait(timeout=15)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
    if code == 0:
        fail("a malformed endpoint file ended the program with code 0")
    print("malformed endpoints: error box, exit code %d" % code)


def desktop_identity(wid):
    """The window carries its icon and the class its desktop entry names (StartupWMClass)."""
    props = run("xprop", "-id", wid, "WM_CLASS", "_NET_WM_ICON")
    if "_NET_WM_ICON(CARDINAL) = " not in props:
        fail("the main window has no icon: " + props[:200])
    if 'WM_CLASS(STRING) = "kestrova-sertrix", "Kestrova Sertrix"' not in props:
        fail("the main window's class is not the desktop entry's: " + props.splitlines()[0])
    print("window icon and class: ok")


def check_and_save(program_process, sandbox, folder):
    wid = find_window("^Kestrova Sertrix$", 30, program_process)
    if not wid:
        fail("the main window did not appear")
    time.sleep(0.5)
    window = Window(wid)
    desktop_identity(wid)

    window.click(SITE_EDIT)
    key("End")
    xdotool("type", "--delay", "20", SITE)
    window.click(KEYWORD1_EDIT)
    xdotool("type", "--delay", "20", KEYWORD)
    window.click(START_BUTTON)

    def colours_settled():
        shot = screenshot(folder)
        return window.pixel(shot, YANDEX_RANK1) == FIRST_PAGE and window.pixel(shot, RAMBLER_RANK1) == OTHER_PAGE

    wait_for(colours_settled, 60, "the result cells of keyword 1")
    shot = screenshot(folder, "result.png")
    print("result cells: Yandex %s, Rambler %s" % (window.pixel(shot, YANDEX_RANK1), window.pixel(shot, RAMBLER_RANK1)))

    log = sandbox.log()
    services = {entry["service"] for entry in log}
    for needed in ("YandexCY", "PageRank", "YandexRu", "Wordstat", "RamblerRu"):
        if needed not in services:
            fail("the sandbox received no %s request (got %s)" % (needed, sorted(services)))
    for unchosen in ("GoogleCom", "GoogleRu", "AportRu", "MSNCom"):
        if unchosen in services:
            fail("an unchosen engine was asked: " + unchosen)
    yandex = [e["target"] for e in log if e["service"] == "YandexRu"]
    if not any(KEYWORD.encode() in target for target in yandex):
        fail("the Yandex requests do not carry the keyword: %r" % yandex[:2])
    if not any(e["service"] == "YandexCY" and SITE.encode() in e["target"] for e in log):
        fail("the CY request does not name the site")

    # Save as is the fourth item of the first menu.
    time.sleep(1.0)  # the check's end steps
    saved = os.path.join(folder, "saved.zlt")
    window.open_first_menu()
    key("Down", "Down", "Down", "Down", "Return")
    if not find_window("Сохранить проект как", 15):
        fail("the save dialog did not appear")
    time.sleep(0.5)
    xdotool("type", "--delay", "10", saved)
    key("Return")
    wait_for(lambda: os.path.exists(saved), 15, "the saved project file")
    time.sleep(0.3)
    with open(saved, "rb") as f:
        written = f.read()
    expected = expected_project("http://" + SITE, KEYWORD)
    if written != expected:
        fail("the saved project differs:\n%r\nexpected\n%r" % (written, expected))

    # Exit is the last item of the first menu, which Up highlights first; then OK in the confirmation.
    window.open_first_menu()
    key("Up", "Return")
    if not find_window("^Kestrova Sertrix$", 5):
        fail("the main window vanished before the confirmation")
    time.sleep(0.5)
    key("Return")
    try:
        code = program_process.wait(timeout=15)
    except subprocess.TimeoutExpired:
        fail("the program did not end after Exit")
    if code != 0:
        fail("the program ended with code %d" % code)
    print("check, save and exit passed")


def start_x_server():
    """Xvfb on a display number it picks itself (-displayfd), so that parallel runs never collide.
    -noreset: a server that resets when its last client leaves refuses the next program for a moment."""
    read_end, write_end = os.pipe()
    log = tempfile.TemporaryFile()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                               "-noreset"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=log)
    X_SERVER.update(process=server, log=log)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        number = reader.readline().strip()
    if not number:
        server.kill()
        fail("Xvfb did not start")
    return server, ":" + number


def start_display():
    """Starts an X server for the test and points DISPLAY at it; None, having said why, when a tool
    the test needs is missing."""
    missing = [tool for tool in ("Xvfb", "xdotool", "import", "convert", "xprop") if not shutil.which(tool)]
    if missing:
        print("skipped: missing " + " ".join(missing))
        return None
    server, display = start_x_server()
    os.environ["DISPLAY"] = display
    os.environ.pop("XAUTHORITY", None)
    return server


def program_environment(folder, endpoints):
    """The program's environment: the given endpoints, settings and history inside the test's folder,
    the X server of the test, and no desktop theme."""
    env = dict(os.environ, KESTROVA_ENDPOINTS=endpoints, XDG_CONFIG_HOME=os.path.join(folder, "config"),
               XDG_DATA_HOME=os.path.join(folder, "data"), QT_QPA_PLATFORM="xcb", LANG="C.UTF-8")
    env.pop("QT_QPA_PLATFORMTHEME", None)
    return env


def run_on_display(doc, arguments, scenario):
    """Takes the named files from the command line, starts an X server, and runs scenario(files,
    folder) with a temporary folder; the exit code of the test."""
    if len(sys.argv) != arguments + 1:
        print(doc, file=sys.stderr)
        return 2
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    files = [os.path.abspath(p) for p in sys.argv[1:]]
    server = start_display()
    if not server:
        return SKIP
    try:
        with tempfile.TemporaryDirectory() as folder:
            scenario(files, folder)
    finally:
        server.terminate()
        server.wait()
    return 0


def main_scenario(files, folder):
    program, sandbox_binary = files
    malformed_endpoints(program, folder)
    scenario(program, sandbox_binary, folder)


if __name__ == "__main__":
    sys.exit(run_on_display(__doc__, 2, main_scenario))
