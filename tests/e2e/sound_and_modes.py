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


class _Client:
    """A client of the test's Xvfb through libX11 and libXrandr, with the prototypes the helpers
    below use; it disconnects at the end of a with block."""

    def __init__(self, display):
        c = ctypes
        self.x11 = x = c.CDLL(c.util.find_library("X11"))
        self.xrandr = r = c.CDLL(c.util.find_library("Xrandr"))
        for f, res, args in (
                (x.XOpenDisplay, c.c_void_p, [c.c_char_p]),
                (x.XDefaultRootWindow, c.c_ulong, [c.c_void_p]),
                (x.XSync, c.c_int, [c.c_void_p, c.c_int]),
                (x.XCloseDisplay, c.c_int, [c.c_void_p]),
                (x.XSetCloseDownMode, c.c_int, [c.c_void_p, c.c_int]),
                (x.XKeysymToKeycode, c.c_ubyte, [c.c_void_p, c.c_ulong]),
                (x.XGrabKey, c.c_int, [c.c_void_p, c.c_int, c.c_uint, c.c_ulong, c.c_int, c.c_int,
                                       c.c_int]),
                (r.XRRGetScreenResourcesCurrent, c.POINTER(_Resources), [c.c_void_p, c.c_ulong]),
                (r.XRRCreateMode, c.c_ulong, [c.c_void_p, c.c_ulong, c.POINTER(_ModeInfo)]),
                (r.XRRAddOutputMode, c.c_int, [c.c_void_p, c.c_ulong, c.c_ulong]),
                (r.XRRFreeScreenResources, None, [c.POINTER(_Resources)])):
            f.restype, f.argtypes = res, args
        self.dpy = x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError("cannot open " + display)
        self.root = x.XDefaultRootWindow(self.dpy)

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        self.x11.XCloseDisplay(self.dpy)


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


class ScreenModes(_Client):
    """Lists extra modes on the one output of the test's Xvfb. The modes are kept after the
    client disconnects (RetainPermanent); Xvfb ends with the test."""

    def __init__(self, display):
        super().__init__(display)
        self.x11.XSetCloseDownMode(self.dpy, 1)  # RetainPermanent

    def add(self, width, height):
        res = self.xrandr.XRRGetScreenResourcesCurrent(self.dpy, self.root)
        name = f"{width}x{height}_test".encode()
        info = _ModeInfo(width=width, height=height, hSyncStart=width + 48, hSyncEnd=width + 80,
                         hTotal=width + 160, vSyncStart=height + 3, vSyncEnd=height + 9,
                         vTotal=height + 30, name=name, nameLength=len(name))
        info.dotClock = info.hTotal * info.vTotal * 60
        mode = self.xrandr.XRRCreateMode(self.dpy, self.root, ctypes.byref(info))
        self.xrandr.XRRAddOutputMode(self.dpy, res.contents.outputs[0], mode)
        self.x11.XSync(self.dpy, 0)
        self.xrandr.XRRFreeScreenResources(res)


class KeyHolder(_Client):
    """Another X client that holds a key on the root window (with every lock variant), as a
    program that uses the same hotkey would; it lets go at the end of a with block."""

    def __init__(self, display, keysym):
        super().__init__(display)
        code = self.x11.XKeysymToKeycode(self.dpy, keysym)
        for mods in (0, 2, 16, 18):  # none, Lock, Mod2, Lock|Mod2
            self.x11.XGrabKey(self.dpy, code, mods, self.root, 1, 1, 1)
        self.x11.XSync(self.dpy, 0)


def screen_size(desktop):
    out = desktop.cmd("xwininfo", "-root")
    size = [re.search(key + r":\s*(\d+)", out) for key in ("Width", "Height")]
    return tuple(int(m.group(1)) if m else None for m in size)
