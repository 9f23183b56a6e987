"""Stand-ins the desktop tests need: a private sound server with one null sink, and extra
screen modes for Xvfb (which lists only the one it started with)."""
import ctypes
import ctypes.util
import os
import re
import shutil
import subprocess
import tempfile

import koro_e2e as e2e


class SoundServer:
    """pulseaudio with a null sink in a folder of its own, and the ALSA and client settings that
    send a program there and nowhere else; started and stopped by a with block."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="koro-sound-")
        self.socket = os.path.join(self.folder, "native")
        self.proc = None

    def start(self):
        run = os.path.join(self.folder, "run")
        os.makedirs(run, mode=0o700)
        e2e.write_text(os.path.join(self.folder, "asound.conf"),
                       "pcm.!default { type pulse }\nctl.!default { type pulse }\n")
        e2e.write_text(os.path.join(self.folder, "client.conf"), "autospawn = no\n")
        env = dict(os.environ, HOME=self.folder, XDG_RUNTIME_DIR=run,
                   XDG_CONFIG_HOME=os.path.join(self.folder, "config"),
                   DBUS_SESSION_BUS_ADDRESS="unix:path=" + os.path.join(self.folder, "no-bus"))
        env.pop("DISPLAY", None)
        self.proc = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
             f"--load=module-native-protocol-unix auth-anonymous=1 socket={self.socket}",
             "--load=module-null-sink sink_name=nullsink"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        e2e.wait_for(lambda: os.path.exists(self.socket) or self.proc.poll() is not None,
                     timeout=20, what="the sound server")
        if self.proc.poll() is not None:
            raise RuntimeError("pulseaudio did not start")
        return self

    def client_env(self):
        return {"ALSA_CONFIG_PATH": os.path.join(self.folder, "asound.conf"),
                "PULSE_CLIENTCONFIG": os.path.join(self.folder, "client.conf"),
                "PULSE_SERVER": "unix:" + self.socket}

    def sink_muted(self):
        out = subprocess.run(["pactl", "get-sink-mute", "@DEFAULT_SINK@"],
                             env=dict(os.environ, **self.client_env()), capture_output=True,
                             text=True).stdout.strip()
        return {"Mute: yes": True, "Mute: no": False}.get(out)

    def stop(self):
        if self.proc:
            e2e.end(self.proc)
        shutil.rmtree(self.folder, ignore_errors=True)

    def __enter__(self):
        try:
            return self.start()
        except BaseException:
            self.stop()
            raise

    def __exit__(self, *failure):
        self.stop()


class _ModeInfo(ctypes.Structure):
    _fields_ = [("id", ctypes.c_ulong), ("width", ctypes.c_uint), ("height", ctypes.c_uint),
                ("dotClock", ctypes.c_ulong), ("hSyncStart", ctypes.c_uint),
                ("hSyncEnd", ctypes.c_uint), ("hTotal", ctypes.c_uint), ("hSkew", ctypes.c_uint),
                ("vSyncStart", ctypes.c_uint), ("vSyncEnd", ctypes.c_uint),
                ("vTotal", ctypes.c_uint), ("name", ctypes.c_char_p),
                ("nameLength", ctypes.c_uint), ("modeFlags", ctypes.c_ulong)]


class _Resources(ctypes.Structure):
    _fields_ = [("timestamp", ctypes.c_ulong), ("configTimestamp", ctypes.c_ulong),
                ("ncrtc", ctypes.c_int), ("crtcs", ctypes.POINTER(ctypes.c_ulong)),
                ("noutput", ctypes.c_int), ("outputs", ctypes.POINTER(ctypes.c_ulong)),
                ("nmode", ctypes.c_int), ("modes", ctypes.POINTER(_ModeInfo))]


class ScreenModes:
    """A client of the test's Xvfb that lists extra modes on its one output. The modes are kept
    after it disconnects (RetainPermanent); Xvfb ends with the test."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.xrandr = ctypes.CDLL(ctypes.util.find_library("Xrandr"))
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.xrandr.XRRGetScreenResourcesCurrent.restype = ctypes.POINTER(_Resources)
        self.xrandr.XRRGetScreenResourcesCurrent.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.xrandr.XRRCreateMode.restype = ctypes.c_ulong
        self.xrandr.XRRCreateMode.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                              ctypes.POINTER(_ModeInfo)]
        self.xrandr.XRRAddOutputMode.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]
        self.xrandr.XRRFreeScreenResources.argtypes = [ctypes.POINTER(_Resources)]
        self.dpy = self.x11.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError("cannot open " + display)
        self.x11.XSetCloseDownMode.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XSetCloseDownMode(self.dpy, 1)  # RetainPermanent
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    def add(self, width, height):
        root = self.x11.XDefaultRootWindow(self.dpy)
        res = self.xrandr.XRRGetScreenResourcesCurrent(self.dpy, root)
        name = f"{width}x{height}_test".encode()
        info = _ModeInfo(width=width, height=height, hSyncStart=width + 48, hSyncEnd=width + 80,
                         hTotal=width + 160, vSyncStart=height + 3, vSyncEnd=height + 9,
                         vTotal=height + 30, name=name, nameLength=len(name))
        info.dotClock = info.hTotal * info.vTotal * 60
        mode = self.xrandr.XRRCreateMode(self.dpy, root, ctypes.byref(info))
        self.xrandr.XRRAddOutputMode(self.dpy, res.contents.outputs[0], mode)
        self.x11.XSync(self.dpy, 0)
        self.xrandr.XRRFreeScreenResources(res)

    def close(self):
        self.x11.XCloseDisplay(self.dpy)


class KeyHolder:
    """Another X client that holds a key on the root window (with every lock variant), as a
    program that uses the same hotkey would; it lets go at the end of a with block."""

    def __init__(self, display, keysym):
        self.x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        x = self.x11
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XKeysymToKeycode.restype = ctypes.c_ubyte
        x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x.XGrabKey.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_uint, ctypes.c_ulong,
                               ctypes.c_int, ctypes.c_int, ctypes.c_int]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.dpy = x.XOpenDisplay(display.encode())
        root = x.XDefaultRootWindow(self.dpy)
        code = x.XKeysymToKeycode(self.dpy, keysym)
        for mods in (0, 2, 16, 18):  # none, Lock, Mod2, Lock|Mod2
            x.XGrabKey(self.dpy, code, mods, root, 1, 1, 1)
        x.XSync(self.dpy, 0)

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        self.x11.XCloseDisplay(self.dpy)


def screen_size(desktop):
    out = desktop.cmd("xwininfo", "-root")
    size = [re.search(key + r":\s*(\d+)", out) for key in ("Width", "Height")]
    return tuple(int(m.group(1)) if m else None for m in size)
