"""A second copy, started while the first stays on top of everything, shows its refusal in front
and ends on Enter."""
import os
import subprocess

import koro_e2e as e2e


def prop(desktop, *args):
    return subprocess.run(["xprop"] + list(args), env=desktop.env(), capture_output=True,
                          text=True).stdout


def stacking(desktop):
    """Managed windows from bottom to top, as decimal ids."""
    out = prop(desktop, "-root", "_NET_CLIENT_LIST_STACKING")
    ids = out.split("#", 1)[1] if "#" in out else ""
    return [str(int(w.strip(), 16)) for w in ids.split(",") if w.strip()]


def active(desktop):
    out = prop(desktop, "-root", "_NET_ACTIVE_WINDOW")
    return str(int(out.split("#", 1)[1].split(",")[0].strip(), 16)) if "#" in out else ""


def main():
    args = e2e.parse_args()
    c = e2e.Checks("second_copy")
    with e2e.session(args) as (desktop, pages, scratch):
        folder = os.path.join(scratch, "app")
        os.makedirs(folder)
        with open(os.path.join(folder, "Config.ini"), "wb") as f:
            f.write(b"[MainForm]\r\nFrontShow=1\r\nCloseTips=1\r\n")
        first = e2e.Koro(desktop, args.harness, folder, base=pages.base).start()
        second = None
        try:
            window = e2e.main_window(desktop, first)
            c.check("_NET_WM_STATE_ABOVE" in prop(desktop, "-id", window, "_NET_WM_STATE"),
                    "the first copy stays on top")

            second = e2e.Koro(desktop, args.harness, folder, base=pages.base).start()
            # The executable is named "koro": the title before the program names itself.
            box = e2e.wait_for(lambda: desktop.windows("^koro$"), what="the refusal box")[0]
            # The window manager may take a moment to raise and focus it; a box left behind
            # never gets there.
            try:
                e2e.wait_for(lambda: active(desktop) == box and stacking(desktop)[-1:] == [box],
                             timeout=10, what="the box on top with the focus")
            except AssertionError:
                pass
            order = stacking(desktop)
            path = desktop.screenshot("second-copy-refused.png")
            c.check(box in order and window in order and order.index(box) > order.index(window),
                    "the box lies above the main window")
            c.check(order[-1] == box, "the box is the topmost window")
            c.check(active(desktop) == box, "the box has the focus")
            c.check(os.path.getsize(path) > 0, "screenshot taken")
            c.check(prop(desktop, "-id", box, "WM_NAME").strip().endswith('"koro"'),
                    "the box carries the executable's default title")

            # Enter goes to the focused window: nothing but the box may take it.
            e2e.key(desktop, "Return")
            c.check(second.wait_exit(30) == 0, "Enter ends the second copy with exit code 0")
            c.check(first.proc.poll() is None, "the first copy runs on")
            c.check(len(desktop.windows("Koro网络电视 3.0")) == 1, "the first copy's window stays")

            # A cron job or a second session has another runtime folder, or none: the copies
            # still meet.
            for what, runtime in (("without a runtime folder", ""),
                                  ("with another runtime folder", os.path.join(scratch, "rt2"))):
                os.makedirs(runtime or scratch, exist_ok=True)
                other = e2e.Koro(desktop, args.harness, folder, base=pages.base).start(
                    env={"XDG_RUNTIME_DIR": runtime})
                try:
                    e2e.wait_for(lambda: desktop.windows("^koro$"), what=f"the refusal {what}")
                    e2e.key(desktop, "Return", window=desktop.windows("^koro$")[0])
                    c.check(other.wait_exit(30) == 0, f"a copy {what} is refused")
                finally:
                    other.stop()
        finally:
            if second:
                second.stop()
            first.stop()

        # Without any place for the lock the user is told, and the program still starts.
        lone = e2e.Koro(desktop, args.harness, os.path.join(scratch, "lone"), base=pages.base).start(
            env={"XDG_RUNTIME_DIR": "", "KORO_E2E_LOCK_FOLDER": os.path.join(scratch, "missing")})
        try:
            box = e2e.wait_for(lambda: desktop.windows("^koro$"), what="the no-lock notice")[0]
            desktop.screenshot("no-lock-notice.png")
            e2e.key(desktop, "Return", window=box)
            e2e.main_window(desktop, lone)
            c.check(lone.proc.poll() is None, "without a lock the program runs after telling")
        finally:
            lone.stop()
    c.finish()


if __name__ == "__main__":
    main()
