"""Hotkeys, tray icon, minimise-to-tray, compact mode, mute and display presets of the real
program under Xvfb + openbox + trayer, with a sound server of the test's own."""
import os
import subprocess
import time

import koro_e2e as e2e
from sound_and_modes import ScreenModes, SoundServer, screen_size

TITLE = "Koro网络电视 3.0"
SUFFIX = " " * 17 + "Home键返回全功能模式"


def run(desktop, *cmd):
    return subprocess.run(list(cmd), env=desktop.env(), capture_output=True, text=True)


def shown(desktop):
    return bool(desktop.windows(TITLE))


def wm_state(desktop, wid):
    return run(desktop, "xprop", "-id", wid, "_NET_WM_STATE").stdout


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
        self.wid = e2e.wait_for(lambda: run(desktop, "xdotool", "search", "--onlyvisible",
                                            "--classname", "xlogo").stdout.split(),
                                what="xlogo")[0]

    def focus(self):
        run(self.desktop, "xdotool", "windowactivate", "--sync", self.wid)
        run(self.desktop, "xdotool", "windowfocus", "--sync", self.wid)
        time.sleep(0.2)

    def has_focus(self):
        return run(self.desktop, "xdotool", "getwindowfocus").stdout.strip() == self.wid

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=10)


def double_click_tray(desktop, koro, what):
    """A real double click at the middle of the tray icon; returns where that is."""
    rect = e2e.wait_for(lambda: tray_rect(koro), what=what)
    cx, cy = rect[0] + rect[2] // 2, rect[1] + rect[3] // 2
    run(desktop, "xdotool", "mousemove", str(cx), str(cy), "click", "--repeat", "2", "--delay",
        "80", "1")
    return cx, cy


def answer(koro, command):
    """What the harness answers to a query command ("text httpaddr", "checked <action>")."""
    before = len(koro.output())
    koro.send(command)
    prefix = "e2e: " + command + " "
    try:
        return e2e.wait_for(lambda: next((l[len(prefix):] for l in koro.output()[before:]
                                          if l.startswith(prefix)), None), timeout=10)
    except AssertionError:
        return None


def outer(desktop, wid):
    """(x, y, width, height) of the window with its frame, as the window manager placed it."""
    out = run(desktop, "xwininfo", "-id", wid, "-frame").stdout
    value = lambda key: int(next(l.split(":")[1] for l in out.splitlines() if key in l))
    return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
            value("Height"))


def press(desktop, other, key):
    other.focus()
    e2e.key(desktop, key)


def main():
    args = e2e.parse_args()
    c = e2e.Checks("desktop_integration")
    sound = SoundServer().start()
    try:
        with e2e.session(args) as (desktop, pages, scratch):
            koro = e2e.Koro(desktop, args.harness, os.path.join(scratch, "app"),
                            base=pages.base).start(env=sound.client_env())
            other = None
            try:
                wid = e2e.main_window(desktop, koro)
                other = Other(desktop)
                other.focus()
                c.check(other.has_focus(), "another program has the focus")

                # F9 hides and shows while the other program has the focus.
                press(desktop, other, "F9")
                e2e.wait_for(lambda: not shown(desktop), timeout=10, what="hidden")
                c.check(not shown(desktop), "F9 hides the main window")
                press(desktop, other, "F9")
                e2e.wait_for(lambda: shown(desktop), timeout=10, what="shown again")
                c.check(shown(desktop), "F9 shows it again")

                # Home enters and leaves compact mode.
                press(desktop, other, "Home")
                e2e.wait_for(lambda: desktop.window_title(wid).endswith(SUFFIX), timeout=10,
                             what="compact caption")
                c.check(desktop.window_title(wid) == TITLE + SUFFIX, "Home enters compact mode")
                time.sleep(0.5)
                desktop.screenshot("compact-mode.png")
                press(desktop, other, "Home")
                e2e.wait_for(lambda: desktop.window_title(wid) == TITLE, timeout=10,
                             what="full caption")
                c.check(True, "Home leaves compact mode with the caption as before")

                # F8 maximises and restores.
                press(desktop, other, "F8")
                e2e.wait_for(lambda: "_NET_WM_STATE_MAXIMIZED_HORZ" in wm_state(desktop, wid),
                             timeout=10, what="maximised")
                c.check("_NET_WM_STATE_MAXIMIZED_VERT" in wm_state(desktop, wid), "F8 maximises")
                press(desktop, other, "F8")
                e2e.wait_for(lambda: "MAXIMIZED" not in wm_state(desktop, wid), timeout=10,
                             what="restored")
                c.check(True, "F8 restores")

                # F7 mutes and un-mutes the sound server's sink, with a balloon each time.
                c.check(sound.sink_muted() is False, "the sink starts un-muted")
                press(desktop, other, "F7")
                e2e.wait_for(lambda: sound.sink_muted() is True, timeout=10, what="muted")
                c.check(True, "F7 mutes the sink")
                time.sleep(1)
                desktop.screenshot("mute-balloon.png")
                press(desktop, other, "F7")
                e2e.wait_for(lambda: sound.sink_muted() is False, timeout=10, what="un-muted")
                c.check(True, "F7 un-mutes it")
                c.check(koro.proc.poll() is None, "no error ended the program")

                # A double click on the tray icon hides and shows.
                cx, cy = double_click_tray(desktop, koro, "the tray icon's place")
                e2e.wait_for(lambda: not shown(desktop), timeout=10, what="hidden by the tray")
                c.check(True, "a tray double click hides the main window")
                double_click_tray(desktop, koro, "the tray icon's place")
                e2e.wait_for(lambda: shown(desktop), timeout=10, what="shown by the tray")
                c.check(True, "another double click shows it")

                # The right button opens the tray menu; its first item hides and shows.
                for expect_shown in (False, True):
                    run(desktop, "xdotool", "mousemove", str(cx), str(cy), "click", "3")
                    time.sleep(0.8)
                    e2e.key(desktop, "Down", "Return")
                    e2e.wait_for(lambda: shown(desktop) == expect_shown, timeout=10,
                                 what="the tray menu's show/hide")
                    c.check(True, "the tray menu's 显示/隐藏 " + ("shows" if expect_shown else "hides"))

                # Minimising goes to the tray: no window, no taskbar entry, the icon stays.
                wid = e2e.main_window(desktop)
                run(desktop, "xdotool", "windowminimize", wid)
                e2e.wait_for(lambda: not shown(desktop), timeout=10, what="minimised to the tray")
                time.sleep(0.5)
                clients = run(desktop, "xprop", "-root", "_NET_CLIENT_LIST").stdout
                c.check(hex(int(wid)) not in clients, "the minimised window has left the task list")
                c.check(other.wid and hex(int(other.wid)) in clients, "(the task list is read right)")
                c.check(tray_rect(koro) is not None, "the tray icon stays")
                press(desktop, other, "F9")
                e2e.wait_for(lambda: shown(desktop), timeout=10, what="back from the tray")
                wid = e2e.main_window(desktop)
                c.check("HIDDEN" not in wm_state(desktop, wid), "F9 brings it back un-minimised")

                # Typing in the program's own address box: Home moves the caret although the
                # keys are grabbed, and nothing switches.
                desktop.click(wid, *koro.widget_centre("TForm1", "httpaddr"))
                subprocess.run(["xdotool", "type", "--delay", "60", "abc"], env=desktop.env())
                e2e.key(desktop, "Home", "X")
                typed = answer(koro, "text httpaddr")
                c.check(typed is not None and typed.startswith("Xabc"),
                        f"Home moves the caret in the address box ({typed})")
                c.check(desktop.window_title(wid) == TITLE, "typing Home switches nothing")
                e2e.key(desktop, "ctrl+a", "BackSpace")

                # With the keys switched off, Home in the program's window still switches, and
                # the tray menu's 精简/全功能 does too: compact mode cannot lock the user in.
                koro.send("trigger MenuCloseHotKey")
                desktop.click(wid, *koro.widget_centre("TForm1", "PageArea"))
                e2e.key(desktop, "Home")
                e2e.wait_for(lambda: desktop.window_title(wid).endswith(SUFFIX), timeout=10,
                             what="compact mode from Home in the window")
                c.check(True, "without the keys, Home in the window enters compact mode")
                run(desktop, "xdotool", "mousemove", str(cx), str(cy), "click", "3")
                time.sleep(0.8)
                e2e.key(desktop, "Down", "Down", "Return")
                e2e.wait_for(lambda: desktop.window_title(wid) == TITLE, timeout=10,
                             what="the full window from the tray menu")
                c.check(True, "the tray menu's 精简/全功能 leaves compact mode")
                koro.send("trigger MenuCloseHotKey")

                # Display presets from the top bar's right-click menu.
                modes = ScreenModes(desktop.display)
                modes.add(1280, 1024)
                modes.close()
                panel = e2e.wait_for(lambda: next((tuple(int(n) for n in l.split()[4:8])
                                                   for l in reversed(koro.output())
                                                   if l.startswith("e2e: widget TForm1 Panel9 ")),
                                                  None),
                                     what="the top bar's right-click area")

                def preset(downs):
                    run(desktop, "xdotool", "windowactivate", "--sync", wid)
                    run(desktop, "xdotool", "mousemove", "--window", wid,
                        str(panel[0] + panel[2] // 2), str(panel[1] + panel[3] // 2), "click", "3")
                    time.sleep(0.8)
                    e2e.key(desktop, *(["Down"] * downs), "Return")
                    time.sleep(1.5)

                c.check(screen_size(desktop) == (1680, 1050), "the screen starts at 1680x1050")
                # Near the bottom right: wholly on this screen, partly off the smaller one.
                run(desktop, "xdotool", "windowmove", wid, "880", "440")
                time.sleep(0.5)
                preset(6)  # 1280*1024, the mode the test added
                e2e.wait_for(lambda: screen_size(desktop) == (1280, 1024), timeout=10,
                             what="1280x1024")
                c.check(True, "the 1280*1024 preset switches the screen")
                time.sleep(1)
                desktop.screenshot("preset-1280x1024.png")
                frame = outer(desktop, wid)
                c.check(frame[0] >= 0 and frame[1] >= 0 and frame[0] + frame[2] <= 1280 and
                        frame[1] + frame[3] <= 1024,
                        f"the window stays wholly on the smaller screen ({frame})")
                c.check(answer(koro, "checked Pop2128010241") == "1", "the menu marks 1280*1024")
                preset(2)  # 800*600: not listed
                c.check(screen_size(desktop) == (1280, 1024), "a missing mode leaves the screen as it was")
                c.check(answer(koro, "checked Pop2800600") == "0", "a refused size is not marked")

                # Ctrl+Q goes through the close question; No brings the window back.
                press(desktop, other, "ctrl+q")
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
                e2e.wait_for(lambda: not shown(desktop), timeout=10, what="hidden by the new icon")
                c.check(True, "the icon is back after the tray host restarts and answers a double click")
                desktop.screenshot("tray-after-restart.png")

                # Leaving the program gives the screen back the size it had before.
                press(desktop, other, "ctrl+q")
                question = e2e.wait_for(lambda: desktop.windows("^提示$"), timeout=15,
                                        what="the close question")[0]
                e2e.key(desktop, "Return", window=question)
                c.check(koro.wait_exit(30) == 0, "the program ends")
                c.check(screen_size(desktop) == (1680, 1050), "the screen is 1680x1050 again")
            finally:
                if other:
                    other.stop()
                koro.stop()
    finally:
        sound.stop()
    c.finish()


if __name__ == "__main__":
    main()
