"""Shared set-up of the end-to-end tests: a private X display with a window manager and a tray
host, a local HTTP server standing in for every web address, and the real program started in a
folder of its own."""
import argparse
import contextlib
import http.server
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The size of the private screen.
SCREEN = (1680, 1050)


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--koro", required=True)
    parser.add_argument("--harness", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)
    return args


def end(proc):
    """Ends a process this test started, by its PID: politely first, then for sure."""
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def wait_for(predicate, timeout=30.0, interval=0.2, what="condition"):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    raise AssertionError(f"timed out waiting for {what}")


class Pages(http.server.ThreadingHTTPServer):
    """Serves fixed pages by path and records every request path."""

    def __init__(self):
        self.requests = []
        self.pages = {}
        self.trickles = {}
        self.lock = threading.Lock()
        super().__init__(("127.0.0.1", 0), _Handler)
        self.thread = threading.Thread(target=self.serve_forever, daemon=True)
        self.thread.start()

    @property
    def base(self):
        return f"http://127.0.0.1:{self.server_address[1]}"

    def page(self, path, body, content_type="text/html; charset=utf-8", status=200):
        self.pages[path] = (status, content_type, body.encode() if isinstance(body, str) else body)

    def trickle(self, path, body, chunk, delay):
        """Serves body at path chunk bytes at a time, delay seconds apart, announcing its full
        length up front."""
        self.trickles[path] = (body.encode() if isinstance(body, str) else body, chunk, delay)

    def seen(self, path):
        with self.lock:
            return any(p.split("?")[0] == path for p in self.requests)

    def stop(self):
        self.shutdown()
        self.server_close()


class _Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with self.server.lock:
            self.server.requests.append(self.path)
        trickle = self.server.trickles.get(self.path.split("?")[0])
        if trickle:
            body, chunk, delay = trickle
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            try:
                for start in range(0, len(body), chunk):
                    self.wfile.write(body[start:start + chunk])
                    self.wfile.flush()
                    time.sleep(delay)
            except (BrokenPipeError, ConnectionResetError):
                pass
            return
        status, ctype, body = self.server.pages.get(
            self.path.split("?")[0],
            (200, "text/html; charset=utf-8",
             f"<html><head><title>page {self.path}</title></head><body>{self.path}</body></html>".encode()))
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


class Desktop:
    """Xvfb + openbox + trayer on a free display, with a private runtime folder."""

    def __init__(self, artifacts):
        self.artifacts = artifacts
        self.procs = []
        self.runtime = tempfile.mkdtemp(prefix="koro-rt-")
        os.chmod(self.runtime, 0o700)
        self.display = None

    def start(self, tray=True):
        """Starts everything; when any part fails, what was already started is ended.
        tray: False leaves the desktop without a tray host, as some desktops are."""
        try:
            return self._start(tray)
        except BaseException:
            self.stop()
            raise

    def _start(self, tray):
        # Xvfb picks a free display itself and names it once it accepts connections: picking
        # one here by looking for lock files races with other sessions starting at the same
        # time, and the loser would end up on the winner's display.
        read_end, write_end = os.pipe()
        try:
            proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                                     "-nolisten", "tcp"], pass_fds=(write_end,),
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.procs.append(proc)
            os.close(write_end)
            write_end = None
            number = b""
            end = time.monotonic() + 30
            while not number.endswith(b"\n") and time.monotonic() < end:
                ready, _, _ = select.select([read_end], [], [], max(0.0, end - time.monotonic()))
                chunk = os.read(read_end, 16) if ready else b""
                if not chunk:
                    break
                number += chunk
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        if not number.strip().isdigit() or proc.poll() is not None:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.strip().decode()
        env = self.env()
        self.procs.append(subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for(lambda: "_NET_SUPPORTING_WM_CHECK" in self.xprop_root(), what="openbox")
        if not tray:
            return self
        self.procs.append(subprocess.Popen(
            ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request", "--height", "24"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for(self.tray_ready, what="tray host")
        return self

    def xprop_root(self):
        return subprocess.run(["xprop", "-root"], env=self.env(), capture_output=True, text=True).stdout

    def tray_ready(self):
        out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env(), capture_output=True, text=True)
        if out.returncode != 0:
            return False
        return self.search("--classname", "trayer") != []

    def env(self, extra=None):
        env = dict(os.environ)
        env.update({
            "DISPLAY": self.display or "",
            "XDG_RUNTIME_DIR": self.runtime,
            "KORO_E2E_LOCK_FOLDER": self.runtime,
            "QTWEBENGINE_DISABLE_SANDBOX": "1",
            "QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu",
            "QT_QPA_PLATFORM": "xcb",
        })
        env.pop("WAYLAND_DISPLAY", None)
        if extra:
            env.update(extra)
        return env

    def screenshot(self, name):
        path = os.path.join(self.artifacts, name)
        subprocess.run(["import", "-window", "root", path], env=self.env(), check=True)
        return path

    def search(self, *criteria):
        """Window ids from `xdotool search`. xdotool walks the whole window tree and gives up
        with BadWindow, printing nothing, when any window of any program is destroyed during
        the walk (a copy that just ended, a closed menu); such a search says nothing and is
        repeated."""
        for _ in range(50):
            out = subprocess.run(["xdotool", "search", *criteria], env=self.env(),
                                 capture_output=True, text=True)
            if "X Error" not in out.stderr:
                return out.stdout.split()
        raise AssertionError(f"xdotool search {criteria} kept failing: {out.stderr}")

    def windows(self, name):
        """Visible top-level windows whose title matches the pattern, newest last."""
        found = []
        for w in self.search("--onlyvisible", "--name", name):
            state = subprocess.run(["xprop", "-id", w, "WM_STATE"], env=self.env(), capture_output=True, text=True)
            if "Normal" in state.stdout:
                found.append(w)
        return found

    def xprop(self, wid, prop):
        return subprocess.run(["xprop", "-id", wid, prop], env=self.env(), capture_output=True,
                              text=True).stdout

    def size(self, wid):
        """(width, height) of a window's client area, or None once it is gone."""
        out = subprocess.run(["xdotool", "getwindowgeometry", wid], env=self.env(),
                             capture_output=True, text=True).stdout
        m = re.search(r"Geometry: (\d+)x(\d+)", out)
        return (int(m.group(1)), int(m.group(2))) if m else None

    def frame_rect(self, wid):
        """(x, y, width, height) of a window on the screen with the frame the window manager
        drew around it, or None once it is gone."""
        info = subprocess.run(["xwininfo", "-id", wid], env=self.env(), capture_output=True,
                              text=True).stdout
        values = {k: int(v) for k, v in re.findall(r"(Absolute upper-left [XY]|Width|Height):\s+(-?\d+)", info)}
        if len(values) < 4:
            return None
        extents = re.findall(r"-?\d+", self.xprop(wid, "_NET_FRAME_EXTENTS").split("=")[-1])
        left, right, top, bottom = (int(n) for n in extents) if len(extents) == 4 else (0, 0, 0, 0)
        return (values["Absolute upper-left X"] - left, values["Absolute upper-left Y"] - top,
                values["Width"] + left + right, values["Height"] + top + bottom)

    def wholly_on_screen(self, wid):
        rect = self.frame_rect(wid)
        return bool(rect) and rect[0] >= 0 and rect[1] >= 0 and rect[0] + rect[2] <= SCREEN[0] \
            and rect[1] + rect[3] <= SCREEN[1]

    def click(self, wid, x, y):
        """A real click at x, y of the window's client area, with the window activated first."""
        subprocess.run(["xdotool", "windowactivate", "--sync", wid], env=self.env())
        time.sleep(0.3)
        subprocess.run(["xdotool", "mousemove", "--window", wid, str(x), str(y), "click", "1"],
                       env=self.env(), check=True)

    def close(self, wid):
        """Closes a window the way its frame's close box does."""
        subprocess.run(["wmctrl", "-i", "-c", wid], env=self.env(), check=True)

    def window_title(self, wid):
        return subprocess.run(["xdotool", "getwindowname", wid], env=self.env(), capture_output=True,
                              text=True).stdout.strip()

    def stop(self):
        for proc in reversed(self.procs):
            end(proc)
        shutil.rmtree(self.runtime, ignore_errors=True)


class Koro:
    """The program copied into a folder of its own (settings live beside the executable) and
    started there; its output is collected line by line."""

    def __init__(self, desktop, binary, folder, base=None, cwd=None):
        self.desktop = desktop
        self.folder = folder
        os.makedirs(folder, exist_ok=True)
        self.exe = os.path.join(folder, "koro")
        if not os.path.exists(self.exe):
            shutil.copy2(binary, self.exe)
        self.cwd = cwd or folder
        self.base = base
        self.proc = None
        self.lines = []
        self.lock = threading.Lock()

    def start(self, env=None):
        """env: further variables for the program (for example HOME)."""
        extra = {"KORO_E2E_BASE": self.base} if self.base else {}
        if env:
            extra.update(env)
        self.proc = subprocess.Popen(["dbus-run-session", "--", self.exe], cwd=self.cwd,
                                     env=self.desktop.env(extra), stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE,
                                     stderr=subprocess.STDOUT, text=True, start_new_session=True)
        threading.Thread(target=self._read, daemon=True).start()
        return self

    def _read(self):
        for line in self.proc.stdout:
            with self.lock:
                self.lines.append(line.rstrip("\n"))

    def send(self, line):
        """A command for the harness (see harness_main.cpp)."""
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def output(self):
        with self.lock:
            return list(self.lines)

    def has_line(self, text):
        return any(text in line for line in self.output())

    def caption_rect(self, text, timeout=30):
        """(x, y, width, height) of a caption button of the top row, in window coordinates, as
        the harness reports it once the window shows."""
        def find():
            for line in self.output():
                if line.startswith("e2e: caption "):
                    name, *numbers = line[len("e2e: caption "):].rsplit(" ", 4)
                    if name == text:
                        return tuple(int(n) for n in numbers)
            return None
        return wait_for(find, timeout=timeout, what=f"the caption {text}")

    def widget_rect(self, window, name, timeout=30):
        """(x, y, width, height) of a named control in its window's coordinates, as the harness
        last reported it; window is "TForm1", "TForm2" or a popup's "TForm3-<number>"."""
        prefix = f"e2e: widget {window} {name} "

        def find():
            lines = [l for l in self.output() if l.startswith(prefix)]
            return tuple(int(n) for n in lines[-1][len(prefix):].split()) if lines else None
        return wait_for(find, timeout=timeout, what=f"the control {name} of {window}")

    def widget_centre(self, window, name, timeout=30):
        x, y, width, height = self.widget_rect(window, name, timeout)
        return x + width // 2, y + height // 2

    def wait_exit(self, timeout=30):
        return self.proc.wait(timeout=timeout)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGTERM)
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.proc.pid, signal.SIGKILL)
                self.proc.wait()


def main_window(desktop, koro=None, timeout=60):
    """The main window's X id. Qt gives the window a new native window once the page area
    first draws (it switches to GL composition), so with koro this waits for the first page
    and looks the window up after that."""
    if koro is not None:
        wait_for(lambda: koro.has_line("e2e: documentComplete webbrowser1 "), timeout=timeout,
                 what="the first page")
        time.sleep(0.5)
    return wait_for(lambda: desktop.windows("Koro网络电视 3.0"), timeout=timeout, what="the main window")[0]


def key(desktop, *keys, window=None):
    """Real key presses; with a window, it is activated first (synthetic events would be
    ignored by the toolkit)."""
    if window:
        subprocess.run(["xdotool", "windowactivate", "--sync", window], env=desktop.env())
        time.sleep(0.2)
    subprocess.run(["xdotool", "key"] + list(keys), env=desktop.env(), check=True)


@contextlib.contextmanager
def session(args, tray=True):
    """A desktop, a page server and a scratch folder; everything is ended by PID afterwards."""
    desktop = Desktop(args.artifacts).start(tray=tray)
    pages = Pages()
    scratch = tempfile.mkdtemp(prefix="koro-e2e-")
    try:
        yield desktop, pages, scratch
    finally:
        pages.stop()
        desktop.stop()
        shutil.rmtree(scratch, ignore_errors=True)


@contextlib.contextmanager
def program(desktop, args, folder, base, env=None):
    """The test harness started in folder with its pages at base, ended afterwards."""
    koro = Koro(desktop, args.harness, folder, base=base).start(env)
    try:
        yield koro
    finally:
        koro.stop()


def run(name, body, tray=True):
    """A test's whole life: body(c, desktop, pages, scratch, args) in a session of its own, then
    the closing line of its checks."""
    args = parse_args()
    c = Checks(name)
    with session(args, tray=tray) as (desktop, pages, scratch):
        body(c, desktop, pages, scratch, args)
    c.finish()


class Checks:
    """Counts checks and prints the closing line the test runner reads."""

    def __init__(self, name):
        self.name = name
        self.failed = []
        self.passed = 0

    def check(self, condition, message):
        if condition:
            self.passed += 1
            print(f"ok: {message}", flush=True)
        else:
            self.failed.append(message)
            print(f"FAILED: {message}", flush=True)

    def finish(self):
        print(f"{self.name}: {self.passed} passed, {len(self.failed)} failed", flush=True)
        sys.exit(1 if self.failed else 0)
