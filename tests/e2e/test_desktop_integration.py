"""Hotkeys, tray icon, minimise-to-tray, compact mode, mute and display presets of the real
program under Xvfb + openbox + trayer, with a sound server of the test's own."""
import os
import subprocess
import time

import koro_e2e as e2e
from sound_and_modes import ScreenModes, SoundServer, screen_size

TITLE = "Koro网络电视 3.0"
SUFFIX = " " * 17 + "Home键返回全功能模式"


def shown(desktop):
    return bool(desktop.windows(TITLE))


def tray_rect(koro):
    rects = [tuple(int(n) for n in line.split()[2:6]) for line in koro.output()
             if line.startswith("e2e: tray ")]
    return rects[-1] if rects and rects[-1][2] > 0 else None


class Other:
    """Another program that has the keyboard focus when the keys are pressed."""

    def __init__(self, desktop):
        self.desktop = desktop
        self.proc = subprocess.Popen(["xlogo", "-geometry", "200x200+20+20"], env=desktop.env(),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wid = e2e.wait_for(lambda: desktop.search("--onlyvisible", "--classname", "xlogo"),
                                what="xlogo")[0]

    def focus(self):
        self.desktop.cmd("xdotool", "windowactivate", "--sync", self.wid)
        self.desktop.cmd("xdotool", "windowfocus", "--sync", self.wid)
        time.sleep(0.2)

    def has_focus(self):
        return self.desktop.cmd("xdotool", "getwindowfocus").strip() == self.wid

    def press(self, key):
        """The key, pressed while this program has the focus."""
        self.focus()
        e2e.key(self.desktop, key)

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=10)


def double_click_tray(desktop, koro, what):
    """A real double click at the middle of the tray icon; returns where that is."""
    rect = e2e.wait_for(lambda: tray_rect(koro), what=what)
    cx, cy = rect[0] + rect[2] // 2, rect[1] + rect[3] // 2
    desktop.click_at(cx, cy, "--repeat", "2", "--delay", "80", "1")
    return cx, cy


def tray_menu(desktop, at, *keys):
    """Opens the tray icon's menu with the right button and picks an item with the keys."""
    desktop.click_at(*at, "3")
    time.sleep(0.8)
    e2e.key(desktop, *keys, "Return")


def body(c, desktop, pages, scratch, args):
    with SoundServer() as sound, e2e.program(desktop, args, os.path.join(scratch, "app"), pages.base,
                                             env=sound.client_env()) as koro:
        wid = e2e.main_window(desktop, koro)
        other = Other(desktop)
        try:
            other.focus()
            c.check(other.has_focus(), "another program has the focus")
            state = lambda: desktop.xprop(wid, "_NET_WM_STATE")
            # Each key twice, while the other program has the focus: F9 hides, Home enters
            # compact mode, F8 maximises, F7 mutes the sound server's sink; then back.
            for key, on, off, picture in (
                    ("F9", lambda: not shown(desktop), lambda: shown(desktop), None),
                    ("Home", lambda: desktop.window_title(wid) == TITLE + SUFFIX,
                     lambda: desktop.window_title(wid) == TITLE, "compact-mode.png"),
                    ("F8", lambda: "_NET_WM_STATE_MAXIMIZED_VERT" in state(),
                     lambda: "MAXIMIZED" not in state(), None),
                    ("F7", lambda: sound.sink_muted() is True, lambda: sound.sink_muted() is False,
                     "mute-balloon.png")):
                c.check(off(), f"before {key}: off")
                other.press(key)
                c.wait(on, f"{key} switches on")
                if picture:
                    time.sleep(1)
                    desktop.screenshot(picture)
                other.press(key)
                c.wait(off, f"{key} switches off again")
            c.check(koro.proc.poll() is None, "no error ended the program")

            # A double click on the tray icon hides and shows.
            tray = double_click_tray(desktop, koro, "the tray icon's place")
            c.wait(lambda: not shown(desktop), "a tray double click hides the main window")
            double_click_tray(desktop, koro, "the tray icon's place")
            c.wait(lambda: shown(desktop), "another double click shows it")

            # The right button opens the tray menu; its first item hides and shows.
            for expect_shown in (False, True):
                tray_menu(desktop, tray, "Down")
                c.wait(lambda: shown(desktop) == expect_shown,
                       "the tray menu's 显示/隐藏 " + ("shows" if expect_shown else "hides"))

            # Minimising goes to the tray: no window, no taskbar entry, the icon stays.
            wid = e2e.main_window(desktop)
            desktop.cmd("xdotool", "windowminimize", wid)
            e2e.wait_for(lambda: not shown(desktop), timeout=10, what="minimised to the tray")
            time.sleep(0.5)
            clients = desktop.cmd("xprop", "-root", "_NET_CLIENT_LIST")
            c.check(hex(int(wid)) not in clients, "the minimised window has left the task list")
            c.check(hex(int(other.wid)) in clients, "(the task list is read right)")
            c.check(tray_rect(koro) is not None, "the tray icon stays")
            other.press("F9")
            e2e.wait_for(lambda: shown(desktop), timeout=10, what="back from the tray")
            wid = e2e.main_window(desktop)
            c.check("HIDDEN" not in desktop.xprop(wid, "_NET_WM_STATE"), "F9 brings it back un-minimised")

            # Typing in the program's own address box: Home moves the caret although the keys
            # are grabbed, and nothing switches.
            desktop.click(wid, *koro.widget_centre("TForm1", "httpaddr"))
            desktop.type("abc")
            e2e.key(desktop, "Home", "X")
            typed = koro.ask("text httpaddr")
            c.check(typed is not None and typed.startswith("Xabc"),
                    f"Home moves the caret in the address box ({typed})")
            c.check(desktop.window_title(wid) == TITLE, "typing Home switches nothing")
            e2e.key(desktop, "ctrl+a", "BackSpace")

            # With the keys switched off, Home in the program's window still switches, and the
            # tray menu's 精简/全功能 does too: compact mode cannot lock the user in.
            koro.send("trigger MenuCloseHotKey")
            desktop.click(wid, *koro.widget_centre("TForm1", "PageArea"))
            e2e.key(desktop, "Home")
            c.wait(lambda: desktop.window_title(wid).endswith(SUFFIX),
                   "without the keys, Home in the window enters compact mode")
            tray_menu(desktop, tray, "Down", "Down")
            c.wait(lambda: desktop.window_title(wid) == TITLE, "the tray menu's 精简/全功能 leaves compact mode")
            koro.send("trigger MenuCloseHotKey")

            # Display presets from the top bar's right-click menu.
            with ScreenModes(desktop.display) as modes:
                modes.add(1280, 1024)
            panel = koro.widget_centre("TForm1", "Panel9")

            def preset(downs):
                desktop.click(wid, *panel, "3")
                time.sleep(0.8)
                e2e.key(desktop, *(["Down"] * downs), "Return")
                time.sleep(1.5)

            c.check(screen_size(desktop) == (1680, 1050), "the screen starts at 1680x1050")
            # Near the bottom right: wholly on this screen, partly off the smaller one.
            desktop.cmd("xdotool", "windowmove", wid, "880", "440")
            time.sleep(0.5)
            preset(6)  # 1280*1024, the mode the test added
            c.wait(lambda: screen_size(desktop) == (1280, 1024), "the 1280*1024 preset switches the screen")
            time.sleep(1)
            desktop.screenshot("preset-1280x1024.png")
            x, y, w, h = desktop.frame_rect(wid)[0]
            c.check(x >= 0 and y >= 0 and x + w <= 1280 and y + h <= 1024,
                    f"the window stays wholly on the smaller screen ({x, y, w, h})")
            c.check(koro.ask("checked Pop2128010241") == "1", "the menu marks 1280*1024")
            preset(2)  # 800*600: not listed
            c.check(screen_size(desktop) == (1280, 1024), "a missing mode leaves the screen as it was")
            c.check(koro.ask("checked Pop2800600") == "0", "a refused size is not marked")

            # Ctrl+Q goes through the close question; No brings the window back.
            other.press("ctrl+q")
            question = e2e.wait_for(lambda: desktop.windows("^提示$"), timeout=15,
                                    what="the close question")[0]
            c.check(not shown(desktop), "the main window is hidden while asking")
            e2e.key(desktop, "Escape", window=question)
            e2e.wait_for(lambda: shown(desktop), timeout=10, what="back after No")
            c.check(koro.proc.poll() is None, "No keeps the program running")

            # The icon comes back when the tray host restarts.
            trayer = next(p for p in desktop.procs if p.args[0] == "trayer")
            trayer.terminate()
            trayer.wait(timeout=10)
            desktop.procs.remove(trayer)
            time.sleep(1)
            desktop.procs.append(subprocess.Popen(
                ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
                 "--height", "24"], env=desktop.env(), stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL))
            e2e.wait_for(desktop.tray_ready, what="the new tray host")
            time.sleep(2)
            double_click_tray(desktop, koro, "the icon in the new tray")
            c.wait(lambda: not shown(desktop),
                   "the icon is back after the tray host restarts and answers a double click")
            desktop.screenshot("tray-after-restart.png")

            # Leaving the program gives the screen back the size it had before.
            other.press("ctrl+q")
            question = e2e.wait_for(lambda: desktop.windows("^提示$"), timeout=15,
                                    what="the close question")[0]
            e2e.key(desktop, "Return", window=question)
            c.check(koro.wait_exit(30) == 0, "the program ends")
            c.check(screen_size(desktop) == (1680, 1050), "the screen is 1680x1050 again")
        finally:
            other.stop()


if __name__ == "__main__":
    e2e.run("desktop_integration", body)
