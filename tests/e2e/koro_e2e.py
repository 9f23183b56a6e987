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
import socket
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


def write_text(path, text):
    """Writes a file for the program to read, text as UTF-8 and bytes as they are, making its
    folder; returns its path."""
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb") as f:
        f.write(text.encode() if isinstance(text, str) else text)
    return path


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def refused_port():
    """A port on 127.0.0.1 where nothing listens: connections to it are refused."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(predicate, timeout=30.0, interval=0.2, what="condition"):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    raise AssertionError(f"timed out waiting for {what}")


class _LocalServer(http.server.ThreadingHTTPServer):
    """An HTTP server on a free port of 127.0.0.1, serving from a thread of its own, that
    records every request path."""

    def __init__(self, handler):
        self.requests = []
        self.lock = threading.Lock()
        super().__init__(("127.0.0.1", 0), handler)
        self.thread = threading.Thread(target=self.serve_forever, daemon=True)
        self.thread.start()

    @property
    def base(self):
        return f"http://127.0.0.1:{self.server_address[1]}"

    def stop(self):
        self.shutdown()
        self.server_close()


class Pages(_LocalServer):
    """Serves fixed pages by path and records every request path."""

    def __init__(self):
        self.pages = {}
        self.trickles = {}
        super().__init__(_Handler)

    def page(self, path, body, content_type="text/html; charset=utf-8", status=200):
        self.pages[path] = (status, content_type, body.encode() if isinstance(body, str) else body)

    def trickle(self, path, body, chunk, delay):
        """Serves body at path chunk bytes at a time, delay seconds apart, announcing its full
        length up front."""
        self.trickles[path] = (body.encode() if isinstance(body, str) else body, chunk, delay)

    def seen(self, path):
        with self.lock:
            return any(p.split("?")[0] == path for p in self.requests)


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
        return self.cmd("xprop", "-root")

    def tray_ready(self):
        out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env(), capture_output=True, text=True)
        if out.returncode != 0:
            return False
        return self.search("--classname", "trayer") != []

    def cmd(self, *args, check=False):
        """Runs a command on this display; its standard output."""
        return subprocess.run(list(args), env=self.env(), capture_output=True, text=True,
                              check=check).stdout

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
        return [w for w in self.search("--onlyvisible", "--name", name)
                if "Normal" in self.xprop(w, "WM_STATE")]

    def xprop(self, wid, prop):
        return self.cmd("xprop", "-id", wid, prop)

    def size(self, wid):
        """(width, height) of a window's client area, or None once it is gone."""
        m = re.search(r"Geometry: (\d+)x(\d+)", self.cmd("xdotool", "getwindowgeometry", wid))
        return (int(m.group(1)), int(m.group(2))) if m else None

    def frame_rect(self, wid):
        """(x, y, width, height) of a window with its frame, and the frame's extents (left,
        right, top, bottom). From xwininfo: xdotool adds the frame's offset a second time."""
        out = self.cmd("xwininfo", "-id", wid, check=True)
        value = lambda key: int(re.search(key + r":\s*(-?\d+)", out).group(1))
        extents = self.xprop(wid, "_NET_FRAME_EXTENTS")
        numbers = [int(n) for n in re.findall(r"\d+", extents.split("=", 1)[-1])] if "=" in extents else []
        left, right, top, bottom = numbers[:4] if len(numbers) >= 4 else (0, 0, 0, 0)
        return ((value("Absolute upper-left X") - left, value("Absolute upper-left Y") - top,
                 value("Width") + left + right, value("Height") + top + bottom),
                (left, right, top, bottom))

    def wholly_on_screen(self, wid):
        try:
            x, y, w, h = self.frame_rect(wid)[0]
        except (subprocess.CalledProcessError, AttributeError):
            return False  # gone
        return x >= 0 and y >= 0 and x + w <= SCREEN[0] and y + h <= SCREEN[1]

    def click(self, wid, x, y, *click):
        """A real click at x, y of the window's client area, with the window activated first;
        click: xdotool's click arguments, the left button once when none."""
        self.cmd("xdotool", "windowactivate", "--sync", wid)
        time.sleep(0.3)
        self.cmd("xdotool", "mousemove", "--window", wid, str(x), str(y), "click", *(click or ("1",)),
                 check=True)

    def click_at(self, x, y, *click):
        """A real click at x, y of the screen, as click() has it."""
        self.cmd("xdotool", "mousemove", str(x), str(y), "click", *(click or ("1",)), check=True)

    def type(self, text):
        self.cmd("xdotool", "type", "--delay", "30", text, check=True)

    def close(self, wid):
        """Closes a window the way its frame's close box does."""
        self.cmd("wmctrl", "-i", "-c", wid, check=True)

    def window_title(self, wid):
        return self.cmd("xdotool", "getwindowname", wid).strip()

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

    def start(self, env=None, args=()):
        """env: further variables for the program (for example HOME); args: its command line."""
        extra = {"KORO_E2E_BASE": self.base} if self.base else {}
        if env:
            extra.update(env)
        self.proc = subprocess.Popen(["dbus-run-session", "--", self.exe, *args], cwd=self.cwd,
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

    def wait_line(self, text, timeout=30):
        """Waits for a line of output that contains text."""
        wait_for(lambda: self.has_line(text), timeout=timeout, what=text)

    def ask(self, command, timeout=10, reply=None):
        """The harness's answer to a query command ("text httpaddr", "checked <action>"): the
        rest of its line, which starts "e2e: <reply or command> ", or None when none comes in
        time."""
        before = len(self.output())
        self.send(command)
        prefix = f"e2e: {reply or command} "
        try:
            return wait_for(lambda: [l[len(prefix):] for l in self.output()[before:]
                                     if l.startswith(prefix)], timeout=timeout, interval=0.05,
                            what=command)[0]
        except AssertionError:
            return None

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
        koro.wait_line("e2e: documentComplete webbrowser1 ", timeout)
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
def program(desktop, args, folder, base, env=None, argv=()):
    """The test harness started in folder with its pages at base and the command line argv,
    ended afterwards."""
    koro = Koro(desktop, args.harness, folder, base=base).start(env, argv)
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

    def wait(self, predicate, message, timeout=10):
        """Waits for predicate to hold, a passed check then; a time-out ends the test. Returns
        what predicate gave."""
        value = wait_for(predicate, timeout=timeout, what=message)
        self.check(True, message)
        return value

    def finish(self):
        print(f"{self.name}: {self.passed} passed, {len(self.failed)} failed", flush=True)
        sys.exit(1 if self.failed else 0)


class Streams(_LocalServer):
    """Serves a folder of test streams on 127.0.0.1, as many servers do: without the header that
    would let a page of another site read them. Records every request path."""

    def __init__(self, folder):
        self.folder = folder
        super().__init__(_StreamHandler)

    def seen(self, fragment):
        with self.lock:
            return [p for p in self.requests if fragment in p]


class _StreamHandler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=args[2].folder, **kwargs)

    def do_GET(self):
        with self.server.lock:
            self.server.requests.append(self.path)
        super().do_GET()

    def end_headers(self):
        self.send_header("Access-Control-Allow-Origin", "*")
        super().end_headers()

    def log_message(self, *args):
        pass


@contextlib.contextmanager
def stream_server(scratch):
    """A folder for test streams in scratch and a server for it, stopped afterwards."""
    media = os.path.join(scratch, "media")
    os.makedirs(media)
    streams = Streams(media)
    try:
        yield media, streams
    finally:
        streams.stop()


def make_stream(folder, name, kind="hls", seconds=30, tone=440):
    """A small test stream made with ffmpeg: an HLS list of 2 s segments (kind "hls") under
    folder/name/index.m3u8, or an MP4 clip folder/name.mp4. Returns its path under folder."""
    common = ["ffmpeg", "-loglevel", "error", "-y",
              "-f", "lavfi", "-i", f"testsrc2=size=320x180:rate=25:duration={seconds}",
              "-f", "lavfi", "-i", f"sine=frequency={tone}:duration={seconds}",
              "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p", "-g", "25",
              "-c:a", "aac", "-b:a", "64k"]
    if kind == "hls":
        os.makedirs(os.path.join(folder, name), exist_ok=True)
        subprocess.run(common + ["-f", "hls", "-hls_time", "2", "-hls_list_size", "0",
                                 "-hls_playlist_type", "vod",
                                 os.path.join(folder, name, "index.m3u8")], check=True)
        return f"{name}/index.m3u8"
    subprocess.run(common + ["-movflags", "+faststart", os.path.join(folder, name + ".mp4")],
                   check=True)
    return f"{name}.mp4"


def tv_events(koro, event):
    """The TV feature's reports of one kind (see harness_main.cpp) as (monotonic ms, details)."""
    prefix = f"e2e: tv {event} "
    found = []
    for line in koro.output():
        if line.startswith(prefix):
            ms, _, details = line[len(prefix):].partition(" ")
            found.append((int(ms), details))
    return found
