"""First start and exit through the menu, with the real program under Xvfb (a second copy: see
test_second_copy)."""
import os
import time

import koro_e2e as e2e


def body(c, desktop, pages, scratch, args):
    folder = os.path.join(scratch, "app")
    with e2e.program(desktop, args, folder, pages.base) as first:
        window = e2e.main_window(desktop, first)
        c.check(True, "main window shows the language caption")
        for rel in ("html/loading.htm", "html/loading.gif", "Language/2052.ini"):
            c.check(os.path.isfile(os.path.join(folder, rel)), f"start-up wrote {rel}")
        c.wait(lambda: first.has_line("documentComplete WebLoading file://"),
               "the loading page completed in WebLoading", 30)
        first.wait_line("documentComplete webbrowser1 " + pages.base + "/tel/v1000", 60)
        c.check(pages.seen("/tel/v1000"), "the home page was requested from the server")
        lines = first.output()
        loading = next(i for i, l in enumerate(lines) if "beforeNavigate2 WebLoading" in l)
        home = next(i for i, l in enumerate(lines) if "beforeNavigate2 webbrowser1" in l)
        c.check(loading < home, "the loading page is asked for before the home page")
        time.sleep(1)
        c.check("_NET_WM_STATE_ABOVE" in desktop.xprop(window, "_NET_WM_STATE"), "the main window stays on top after its page loaded")
        desktop.screenshot("main-window.png")

        # Exit through the options menu: Yes to the question. The menu opens on a click at
        # its caption; a slow machine may need a second try before the keys reach it.
        x, y, w, h = first.caption_rect("选 项")
        question = None
        for _ in range(3):
            desktop.click(window, x + w // 2, y + h // 2)
            time.sleep(1)
            e2e.key(desktop, "Up", "Return")
            try:
                question = e2e.wait_for(lambda: desktop.windows("^提示$"), timeout=10,
                                        what="the exit question")[0]
                break
            except AssertionError:
                e2e.key(desktop, "Escape")
        c.check(question is not None, "the exit item asks the question")
        c.check(not desktop.windows("Koro网络电视 3.0"), "the main window is hidden while asking")
        desktop.screenshot("exit-question.png")
        e2e.key(desktop, "Return", window=question)
        c.check(first.wait_exit(30) == 0, "the program ends with exit code 0")
        config = e2e.read_bytes(os.path.join(folder, "Config.ini"))
        user = e2e.read_bytes(os.path.join(folder, "user.ini"))
        c.check(b"[MainForm]\r\n" in config and b"frontshow=1\r\n" in config, "Config.ini was written")
        c.check(b"SP=" + (pages.base + "/tel/v1000").encode() in user, "user.ini holds the home page")


if __name__ == "__main__":
    e2e.run("startup_exit", body)
