#!/usr/bin/env python3
"""Hotkey-to-action latency and idle CPU of Koro (the test harness on a local server) under
Xvfb + openbox + trayer.

Latency: F8 is pressed through XTEST while another window has the focus; the clock runs from
the key press until the main window's _NET_WM_STATE shows the new state (maximised or
restored), read by polling the property on a connection of our own. Median of 20 presses.
Idle CPU: the whole process tree (page engine processes included) over 60 s, with the tray
icon, hotkeys and the program's timers running.

    python3 bench/desktop_bench.py --harness build/tests/koro_harness
"""
import argparse
import ctypes
import ctypes.util
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
sys.path.insert(0, HERE)
import koro_e2e as e2e  # noqa: E402
from startup_bench import idle_cpu  # noqa: E402

XK_F8 = 0xFFC5


class X:
    """Just enough Xlib for pressing a key and reading a window property quickly."""

    def __init__(self, display):
        self.lib = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.tst = ctypes.CDLL(ctypes.util.find_library("Xtst"))
        L = self.lib
        L.XOpenDisplay.restype = ctypes.c_void_p
        L.XOpenDisplay.argtypes = [ctypes.c_char_p]
        L.XInternAtom.restype = ctypes.c_ulong
        L.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        L.XKeysymToKeycode.restype = ctypes.c_ubyte
        L.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        L.XFlush.argtypes = [ctypes.c_void_p]
        L.XFree.argtypes = [ctypes.c_void_p]
        L.XCloseDisplay.argtypes = [ctypes.c_void_p]
        L.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
            ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
        self.tst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                               ctypes.c_ulong]
        self.dpy = L.XOpenDisplay(display.encode())
        self.state = L.XInternAtom(self.dpy, b"_NET_WM_STATE", 0)
        self.maxv = L.XInternAtom(self.dpy, b"_NET_WM_STATE_MAXIMIZED_VERT", 0)

    def press(self, keysym):
        code = self.lib.XKeysymToKeycode(self.dpy, keysym)
        self.tst.XTestFakeKeyEvent(self.dpy, code, 1, 0)
        self.tst.XTestFakeKeyEvent(self.dpy, code, 0, 0)
        self.lib.XFlush(self.dpy)

    def maximized(self, window):
        atom_type, fmt = ctypes.c_ulong(), ctypes.c_int()
        count, rest, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        self.lib.XGetWindowProperty(self.dpy, window, self.state, 0, 64, 0, 4,  # XA_ATOM
                                    ctypes.byref(atom_type), ctypes.byref(fmt),
                                    ctypes.byref(count), ctypes.byref(rest), ctypes.byref(data))
        if not data.value:
            return False
        atoms = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))
        found = any(atoms[i] == self.maxv for i in range(count.value))
        self.lib.XFree(data)
        return found

    def close(self):
        self.lib.XCloseDisplay(self.dpy)


def latency(desktop, koro, presses):
    wid = int(e2e.main_window(desktop, koro))
    other = subprocess.Popen(["xlogo", "-geometry", "100x100+0+0"], env=desktop.env(),
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        logo = e2e.wait_for(lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--classname", "xlogo"], env=desktop.env(),
            capture_output=True, text=True).stdout.split(), what="xlogo")[0]
        subprocess.run(["xdotool", "windowactivate", "--sync", logo], env=desktop.env())
        x = X(desktop.display)
        samples = []
        for _ in range(presses):
            before = x.maximized(wid)
            t0 = time.monotonic()
            x.press(XK_F8)
            while x.maximized(wid) == before:
                if time.monotonic() - t0 > 10:
                    raise AssertionError("the window state did not change")
            samples.append((time.monotonic() - t0) * 1000)
            time.sleep(0.3)  # let the window manager settle before the next press
        x.close()
        return samples
    finally:
        other.terminate()
        other.wait(timeout=10)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--harness", required=True)
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--idle", type=int, default=60)
    args = parser.parse_args()
    with e2e.session(argparse.Namespace(artifacts=tempfile.mkdtemp())) as (desktop, pages, scratch):
        koro = e2e.Koro(desktop, args.harness, os.path.join(scratch, "app"), base=pages.base).start()
        try:
            samples = latency(desktop, koro, args.presses)
            print(f"hotkey F8 -> _NET_WM_STATE changed, {len(samples)} presses: "
                  f"median {statistics.median(samples):.1f} ms, min {min(samples):.1f} ms, "
                  f"max {max(samples):.1f} ms")
            print("  each press (ms, maximise and restore in turn): " +
                  " ".join(f"{s:.0f}" for s in samples))
            if args.idle:
                time.sleep(5)
                tray = any(l.startswith("e2e: tray ") and not l.endswith(" 0 0") for l in koro.output())
                cpu = idle_cpu(koro.proc.pid, args.idle)
                print(f"idle CPU over {args.idle} s, whole process tree (tray icon "
                      f"{'docked' if tray else 'NOT docked'}): {cpu:.2f} % of one core")
        finally:
            koro.stop()


if __name__ == "__main__":
    main()
