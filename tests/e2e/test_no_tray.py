"""On a desktop without a tray host the program still runs, hotkeys still act, and balloon
notices appear in a small window of the program's own at the bottom right of the screen.
Another program holds F8 here: that key is skipped and the other four still work."""
import os
import subprocess
import time

import koro_e2e as e2e
from sound_and_modes import KeyHolder, SoundServer

TITLE = "Koro网络电视 3.0"
XK_F8 = 0xFFC5


def main():
    args = e2e.parse_args()
    c = e2e.Checks("no_tray")
    sound = SoundServer().start()
    try:
        with e2e.session(args, tray=False) as (desktop, pages, scratch):
            holder = KeyHolder(desktop.display, XK_F8)
            koro = e2e.Koro(desktop, args.harness, os.path.join(scratch, "app"),
                            base=pages.base).start(env=sound.client_env())
            try:
                wid = e2e.main_window(desktop, koro)
                c.check(koro.proc.poll() is None, "the program runs without a tray")

                # F8 belongs to the other program; F9 and Home still work, Home also while
                # the window is hidden.
                e2e.key(desktop, "F8", window=wid)
                time.sleep(1)
                state = subprocess.run(["xprop", "-id", wid, "_NET_WM_STATE"], env=desktop.env(),
                                       capture_output=True, text=True).stdout
                c.check("MAXIMIZED" not in state, "F8, held elsewhere, does not act here")
                e2e.key(desktop, "F9", window=wid)
                e2e.wait_for(lambda: not desktop.windows(TITLE), timeout=10, what="hidden by F9")
                e2e.key(desktop, "Home")
                time.sleep(1)
                e2e.key(desktop, "F9")
                e2e.wait_for(lambda: desktop.windows(TITLE), timeout=10, what="shown by F9")
                c.check(desktop.window_title(wid).endswith("Home键返回全功能模式"),
                        "Home switched compact mode while the window was hidden")
                e2e.key(desktop, "Home", window=wid)
                e2e.wait_for(lambda: desktop.window_title(wid) == TITLE, timeout=10,
                             what="full mode again")
                e2e.key(desktop, "F7", window=wid)
                e2e.wait_for(lambda: sound.sink_muted() is True, timeout=10, what="muted")
                notice = e2e.wait_for(lambda: desktop.windows("^提示$"), timeout=10,
                                      what="the notice window")[0]
                geometry = subprocess.run(["xdotool", "getwindowgeometry", notice],
                                          env=desktop.env(), capture_output=True, text=True).stdout
                pos = [l for l in geometry.splitlines() if "Position" in l][0].split()[1]
                x, y = (int(n) for n in pos.split(","))
                c.check(x > 1680 // 2 and y > 1050 // 2, f"the notice sits at the bottom right ({pos})")
                desktop.screenshot("notice-without-tray.png")
                e2e.wait_for(lambda: not desktop.windows("^提示$"), timeout=10,
                             what="the notice to time out")
                c.check(True, "the notice goes away after its 3 seconds")

                # With no icon to come back from, minimising keeps the taskbar entry.
                subprocess.run(["xdotool", "windowminimize", wid], env=desktop.env())
                e2e.wait_for(lambda: "_NET_WM_STATE_HIDDEN" in subprocess.run(
                    ["xprop", "-id", wid, "_NET_WM_STATE"], env=desktop.env(), capture_output=True,
                    text=True).stdout, timeout=10, what="minimised")
                time.sleep(1)
                clients = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST"], env=desktop.env(),
                                         capture_output=True, text=True).stdout
                c.check(hex(int(wid)) in clients, "minimised without a tray, it stays in the task list")
                e2e.key(desktop, "F9")  # hides the minimised window
                e2e.wait_for(lambda: hex(int(wid)) not in subprocess.run(
                    ["xprop", "-root", "_NET_CLIENT_LIST"], env=desktop.env(), capture_output=True,
                    text=True).stdout, timeout=10, what="hidden")
                e2e.key(desktop, "F9")  # and shows it un-minimised
                e2e.wait_for(lambda: desktop.windows(TITLE), timeout=10, what="shown again")
                c.check("_NET_WM_STATE_HIDDEN" not in subprocess.run(
                    ["xprop", "-id", wid, "_NET_WM_STATE"], env=desktop.env(), capture_output=True,
                    text=True).stdout, "F9 brings it back un-minimised")

                # Closing still works: the question, Yes, and the program ends.
                e2e.key(desktop, "ctrl+q", window=wid)
                question = e2e.wait_for(lambda: desktop.windows("^提示$"), timeout=15,
                                        what="the close question")[0]
                e2e.key(desktop, "Return", window=question)
                c.check(koro.wait_exit(30) == 0, "Ctrl+Q and Yes end the program with exit code 0")
            finally:
                koro.stop()
                holder.close()
    finally:
        sound.stop()
    c.finish()


if __name__ == "__main__":
    main()
