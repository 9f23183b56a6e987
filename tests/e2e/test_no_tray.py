"""On a desktop without a tray host the program still runs, hotkeys still act, and balloon
notices appear in a small window of the program's own at the bottom right of the screen.
Another program holds F8 here: that key is skipped and the other four still work."""
import os
import time

import koro_e2e as e2e
from sound_and_modes import KeyHolder, SoundServer

TITLE = "Koro网络电视 3.0"
XK_F8 = 0xFFC5


def body(c, desktop, pages, scratch, args):
    with SoundServer() as sound, KeyHolder(desktop.display, XK_F8), \
            e2e.program(desktop, args, os.path.join(scratch, "app"), pages.base,
                        env=sound.client_env()) as koro:
        wid = e2e.main_window(desktop, koro)
        c.check(koro.proc.poll() is None, "the program runs without a tray")
        state = lambda: desktop.xprop(wid, "_NET_WM_STATE")
        listed = lambda: hex(int(wid)) in desktop.cmd("xprop", "-root", "_NET_CLIENT_LIST")

        # F8 belongs to the other program; F9 and Home still work, Home also while the window
        # is hidden.
        e2e.key(desktop, "F8", window=wid)
        time.sleep(1)
        c.check("MAXIMIZED" not in state(), "F8, held elsewhere, does not act here")
        e2e.key(desktop, "F9", window=wid)
        e2e.wait_for(lambda: not desktop.windows(TITLE), timeout=10, what="hidden by F9")
        e2e.key(desktop, "Home")
        time.sleep(1)
        e2e.key(desktop, "F9")
        e2e.wait_for(lambda: desktop.windows(TITLE), timeout=10, what="shown by F9")
        c.check(desktop.window_title(wid).endswith("Home键返回全功能模式"),
                "Home switched compact mode while the window was hidden")
        e2e.key(desktop, "Home", window=wid)
        e2e.wait_for(lambda: desktop.window_title(wid) == TITLE, timeout=10, what="full mode again")
        e2e.key(desktop, "F7", window=wid)
        e2e.wait_for(lambda: sound.sink_muted() is True, timeout=10, what="muted")
        notice = e2e.wait_for(lambda: desktop.windows("^提示$"), timeout=10, what="the notice window")[0]
        x, y = (int(n) for n in desktop.frame_rect(notice)[0][:2])
        c.check(x > 1680 // 2 and y > 1050 // 2, f"the notice sits at the bottom right ({x}, {y})")
        desktop.screenshot("notice-without-tray.png")
        c.wait(lambda: not desktop.windows("^提示$"), "the notice goes away after its 3 seconds")

        # With no icon to come back from, minimising keeps the taskbar entry.
        desktop.cmd("xdotool", "windowminimize", wid)
        e2e.wait_for(lambda: "_NET_WM_STATE_HIDDEN" in state(), timeout=10, what="minimised")
        time.sleep(1)
        c.check(listed(), "minimised without a tray, it stays in the task list")
        e2e.key(desktop, "F9")  # hides the minimised window
        e2e.wait_for(lambda: not listed(), timeout=10, what="hidden")
        e2e.key(desktop, "F9")  # and shows it un-minimised
        e2e.wait_for(lambda: desktop.windows(TITLE), timeout=10, what="shown again")
        c.check("_NET_WM_STATE_HIDDEN" not in state(), "F9 brings it back un-minimised")

        # Closing still works: the question, Yes, and the program ends.
        e2e.key(desktop, "ctrl+q", window=wid)
        question = e2e.wait_for(lambda: desktop.windows("^提示$"), timeout=15,
                                what="the close question")[0]
        e2e.key(desktop, "Return", window=question)
        c.check(koro.wait_exit(30) == 0, "Ctrl+Q and Yes end the program with exit code 0")


if __name__ == "__main__":
    e2e.run("no_tray", body, tray=False)
