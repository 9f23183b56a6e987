"""Site menus and the about window, with the real program under Xvfb: a site chosen from the menu
loads from the server, and "关于我们" opens the about window with the running program's version."""
import os
import time

import koro_e2e as e2e

OUTER = (315, 230)  # the about window's fixed outer size


def open_menu(desktop, koro, window, caption):
    """Clicks the caption button of the main menu row where the harness reported it."""
    x, y, w, h = koro.caption_rect(caption)
    desktop.click(window, x + w // 2, y + h // 2)
    time.sleep(0.7)


def loaded(koro, url):
    """The page area completed exactly this address."""
    return "e2e: documentComplete webbrowser1 " + url in koro.output()


def body(c, desktop, pages, scratch, args):
    folder = os.path.join(scratch, "app")
    with e2e.program(desktop, args, folder, pages.base) as koro:
        window = e2e.main_window(desktop, koro)
        e2e.wait_for(lambda: loaded(koro, pages.base + "/tel/v1000"), timeout=60, what="home page")

        # The second item of "视频站点" is 优酷网.
        open_menu(desktop, koro, window, "视频站点")
        desktop.screenshot("site-menu-open.png")
        e2e.key(desktop, "Down", "Down", "Return")
        youku = pages.base + "/site/youku/?ref=korotv"
        e2e.wait_for(lambda: loaded(koro, youku), timeout=60, what="the chosen site's page")
        c.check(pages.seen("/site/youku/"), "the chosen site was requested from the server")
        c.check(not koro.has_line("beforeNavigate2 webbrowser1 " + pages.base + "/site/sixroom/"),
                "only the chosen item was opened")

        def open_about():
            """The second item of "帮 助" is 关于我们."""
            open_menu(desktop, koro, window, "帮 助")
            e2e.key(desktop, "Down", "Down", "Return")

        open_about()
        about = e2e.wait_for(lambda: desktop.windows("^关于我们$"), what="the about window")[0]
        koro.wait_line("aboutShown TForm2 ")
        c.check("e2e: aboutShown TForm2 3.0.0.0" in koro.output(), "the about window shows version 3.0.0.0")
        time.sleep(1)
        desktop.screenshot("about-window.png")

        (ax, ay, aw, ah), frame = desktop.frame_rect(about)
        c.check((aw, ah) == OUTER, f"the about window is 315 x 230 with its frame (is {aw} x {ah})")
        mx, my, mw, mh = desktop.frame_rect(window)[0]
        off = abs((ax + aw / 2) - (mx + mw / 2)) + abs((ay + ah / 2) - (my + mh / 2))
        c.check(off <= 2, f"the about window is centred on the main window (off by {off})")
        c.check("_NET_WM_STATE_ABOVE" in desktop.xprop(about, "_NET_WM_STATE"), "the about window stays on top")
        # The manager's frame would carry minimise and maximise buttons: the window draws its
        # own, with a close button only.
        c.check(frame == (0, 0, 0, 0), "the about window has no manager's frame")
        c.check(len(desktop.windows("Koro网络电视 3.0")) == 1, "the main window stays open beside it")

        # A second one opens beside the first; the frame's close ends only that one.
        open_about()
        c.wait(lambda: len(desktop.windows("^关于我们$")) == 2,
               "a second click opens a second about window", 30)
        second = [w for w in desktop.windows("^关于我们$") if w != about][0]
        desktop.close(hex(int(second)))
        c.wait(lambda: desktop.windows("^关于我们$") == [about],
               "closing one about window leaves the other open", 30)

        # Its own caption's one button, at the right end, closes it too.
        open_about()
        e2e.wait_for(lambda: len(desktop.windows("^关于我们$")) == 2, what="another about window")
        third = [w for w in desktop.windows("^关于我们$") if w != about][0]
        desktop.click(third, OUTER[0] - 11, 11)
        c.wait(lambda: desktop.windows("^关于我们$") == [about],
               "the caption's close button closes the about window", 30)

        # The home page link: the main window's page area opens it, the about window goes.
        desktop.click(about, *koro.widget_centre("TForm2", "Label4"))
        e2e.wait_for(lambda: loaded(koro, pages.base + "/"), timeout=60, what="the maker's home page")
        c.check(pages.seen("/"), "the link's page was requested from the server")
        c.wait(lambda: not desktop.windows("^关于我们$"), "following the link closes the about window", 30)
        c.check(koro.proc.poll() is None, "the program runs on")


if __name__ == "__main__":
    e2e.run("site_menus", body)
