"""A second copy, started while the first stays on top of everything, shows its refusal in front
and ends on Enter."""
import os

import koro_e2e as e2e


def stacking(desktop):
    """Managed windows from bottom to top, as decimal ids."""
    out = desktop.cmd("xprop", "-root", "_NET_CLIENT_LIST_STACKING")
    ids = out.split("#", 1)[1] if "#" in out else ""
    return [str(int(w.strip(), 16)) for w in ids.split(",") if w.strip()]


def active(desktop):
    out = desktop.cmd("xprop", "-root", "_NET_ACTIVE_WINDOW")
    return str(int(out.split("#", 1)[1].split(",")[0].strip(), 16)) if "#" in out else ""


def refused(c, desktop, copy, what):
    """The copy shows its refusal box, which Enter closes, and ends with code 0."""
    box = e2e.wait_for(lambda: desktop.windows("^koro$"), what=f"the refusal {what}")[0]
    e2e.key(desktop, "Return", window=box)
    c.check(copy.wait_exit(30) == 0, f"a copy {what} is refused")


def body(c, desktop, pages, scratch, args):
    folder = os.path.join(scratch, "app")
    e2e.write_text(os.path.join(folder, "Config.ini"), "[MainForm]\r\nFrontShow=1\r\nCloseTips=1\r\n")
    with e2e.program(desktop, args, folder, pages.base) as first:
        window = e2e.main_window(desktop, first)
        c.check("_NET_WM_STATE_ABOVE" in desktop.xprop(window, "_NET_WM_STATE"),
                "the first copy stays on top")

        with e2e.program(desktop, args, folder, pages.base) as second:
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
            c.check(desktop.xprop(box, "WM_NAME").strip().endswith('"koro"'),
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
            with e2e.program(desktop, args, folder, pages.base,
                             env={"XDG_RUNTIME_DIR": runtime}) as other:
                refused(c, desktop, other, what)

    # Without any place for the lock the user is told, and the program still starts.
    with e2e.program(desktop, args, os.path.join(scratch, "lone"), pages.base,
                     env={"XDG_RUNTIME_DIR": "",
                          "KORO_E2E_LOCK_FOLDER": os.path.join(scratch, "missing")}) as lone:
        box = e2e.wait_for(lambda: desktop.windows("^koro$"), what="the no-lock notice")[0]
        desktop.screenshot("no-lock-notice.png")
        e2e.key(desktop, "Return", window=box)
        e2e.main_window(desktop, lone)
        c.check(lone.proc.poll() is None, "without a lock the program runs after telling")


if __name__ == "__main__":
    e2e.run("second_copy", body)
