"""New windows with the real program under Xvfb: popup windows written by their opener, opened by
a script and by a link, closed by their page, by the window manager and by the
move-to-main-window button, each wholly on the screen; then the main-window policy, where a new
window loads in the main page area and no popup appears."""
import contextlib
import os
import time

import koro_e2e as e2e

HOME = """<html><head><title>Home</title></head><body style="margin:0">
<a href="/linked" target="_blank"
   style="position:fixed;left:0;top:0;width:100%;height:100%;font-size:40px">open linked</a>
<script>setTimeout(function () { window.open("/popped", "", "width=400,height=300"); }, 500);</script>
</body></html>"""

POPPED = """<html><head><title>Popped Window</title></head><body style="margin:0">
<button onclick="window.close()"
        style="position:fixed;left:0;top:0;width:100%;height:100%">close me</button>
</body></html>"""

# Writes into windows it opens empty, the way portals and ads do, then browses on. The first
# window has a button and a form, the second (without a title) closes itself, the third is closed
# by its opener.
WRITER = r"""<html><head><title>Writer</title></head><body>writer
<script>
setTimeout(function () {
  var empty = window.open("", "empty", "width=300,height=200");
  empty.document.write("<title>Written Empty</title><body style='margin:0'>" +
    "<button onclick=\"new Image().src = '/clicked'; alert('已点击 <b>按钮</b>')\" " +
    "style='position:fixed;left:0;top:0;width:100%;height:50%'>click me</button>" +
    "<form action='/submitted' style='position:fixed;left:0;top:50%;width:100%;height:50%;margin:0'>" +
    "<input name='q' style='width:100%;height:100%;font-size:30px'></form>");
  empty.document.close();
  var blank = window.open("about:blank", "blank", "width=320,height=220");
  blank.document.write("<body style='margin:0'><button onclick='window.close()' " +
    "style='position:fixed;left:0;top:0;width:100%;height:100%;font-size:30px'>close me</button>");
  blank.document.close();
  var later = window.open("", "later", "width=280,height=180");
  later.document.write("<title>Closed By Opener</title><p>closed soon</p>");
  later.document.close();
  setTimeout(function () { later.close(); }, 3000);
  setTimeout(function () { location.href = "/after"; }, 4500);
}, 500);
</script></body></html>"""

AFTER = """<html><head><title>After</title></head><body>after</body></html>"""

APPLICATION_TITLE = "Koro网络电视"

LINKED = """<html><head><title>Linked Page</title></head><body>linked</body></html>"""


def popups_created(koro):
    return [l.split()[-1] for l in koro.output() if l.startswith("e2e: popupCreated")]


def new_popup(desktop, koro, count, title):
    """Waits for the count-th popup the program reports to show the title; returns the number
    the program gave it and its window."""
    number = e2e.wait_for(lambda: len(popups_created(koro)) >= count and popups_created(koro)[count - 1],
                          timeout=60, what=f"popup {count}")
    window = e2e.wait_for(lambda: desktop.windows(title), timeout=60, what=f"the window {title}")[-1]
    return number, window


def line_index(koro, text):
    return next((i for i, l in enumerate(koro.output()) if text in l), None)


def check_size(c, desktop, window, size, message):
    """The window reaches the size, which the window manager may take a moment to give it."""
    try:
        e2e.wait_for(lambda: desktop.size(window) == size, timeout=10, what="the size")
    except AssertionError:
        pass
    c.check(desktop.size(window) == size, f"{message} ({desktop.size(window)})")


@contextlib.contextmanager
def configured(desktop, pages, scratch, args, name, policy, extra=""):
    """The program on a Config.ini with the given window policy; its output is saved once it
    has ended."""
    folder = os.path.join(scratch, name)
    e2e.write_text(os.path.join(folder, "Config.ini"),
                   f"[MainForm]\r\nopennewfrm={policy}\r\nCloseTips=1\r\n{extra}")
    koro = None
    try:
        with e2e.program(desktop, args, folder, pages.base) as koro:
            yield koro
    finally:
        if koro:
            e2e.write_text(os.path.join(args.artifacts, f"popups-{name}.log"),
                           "\n".join(koro.output()) + "\n")


def new_form_run(c, desktop, pages, scratch, args):
    with configured(desktop, pages, scratch, args, "newform", "NewForm") as koro:
        main = e2e.main_window(desktop, koro)

        # A script opens a window without any click.
        number, popped = new_popup(desktop, koro, 1, "^Popped Window$")
        c.check(pages.seen("/popped"), "the scripted popup's page was requested")
        c.check(koro.has_line("documentComplete Webbrowser1 " + pages.base + "/popped"),
                "the page completed in the popup's browser")
        c.check(not koro.has_line("documentComplete webbrowser1 " + pages.base + "/popped"),
                "the main page area did not load the popup's page")
        check_size(c, desktop, popped, (400, 317), "the popup's page area has the size the script asked for")
        c.check("_NET_WM_STATE_ABOVE" in desktop.xprop(popped, "_NET_WM_STATE"),
                "FrontShow=1: the popup stays on top")
        time.sleep(1)
        desktop.screenshot("popup-window.png")

        # The page closes its own window: its button fills the page.
        desktop.click(popped, *koro.widget_centre("TForm3-" + number, "Webbrowser1"))
        koro.wait_line("popupDestroyed TForm3 " + number)
        c.check(not desktop.windows("^Popped Window$"), "window.close() removed the popup")
        time.sleep(1)
        c.check(koro.proc.poll() is None, "the program runs on after a page closed its window")

        # A link with a target opens a popup too; the window manager's close hides it at once and
        # it goes only after the blank page.
        # The home page's link fills the page area.
        page_centre = koro.widget_centre("TForm1", "PageArea")
        desktop.click(main, *page_centre)
        number, linked = new_popup(desktop, koro, 2, "^Linked Page$")
        c.check(pages.seen("/linked"), "the link's page was requested")
        size = desktop.size(linked)
        c.check(size == (800, 600), f"a popup without a size request is 800 x 600 ({size})")
        c.check(desktop.wholly_on_screen(linked),
                f"the 800 x 600 popup lies wholly on the screen ({desktop.frame_rect(linked)})")
        desktop.close(linked)
        koro.wait_line("popupDestroyed TForm3 " + number)
        blank = line_index(koro, "documentComplete Webbrowser1 about:blank")
        gone = line_index(koro, "popupDestroyed TForm3 " + number)
        c.check(blank is not None and blank < gone, "the popup is destroyed after its blank page")
        c.check(not desktop.windows("^Linked Page$"), "the closed popup is gone")

        # The button at the left of the status line moves the page to the main window.
        desktop.click(main, *page_centre)
        number, moved = new_popup(desktop, koro, 3, "^Linked Page$")
        desktop.click(moved, *koro.widget_centre("TForm3-" + number, "Labelimg"))
        c.wait(lambda: koro.has_line("documentComplete webbrowser1 " + pages.base + "/linked"),
               "the button loaded the popup's page in the main window", 60)
        koro.wait_line("popupDestroyed TForm3 " + number)
        c.check(not desktop.windows("^Linked Page$"), "the popup closed after moving its page")
        c.check(koro.proc.poll() is None, "the program still runs")


def written_run(c, desktop, pages, scratch, args):
    """Windows opened empty or blank and written by their opener are live pages: real clicks and
    keys reach them, and they close themselves."""
    pages.page("/tel/v1000", WRITER)
    with configured(desktop, pages, scratch, args, "written", "NewForm") as koro:
        e2e.main_window(desktop, koro)
        empty_number, empty = new_popup(desktop, koro, 1, "^Written Empty$")
        blank_number, blank = new_popup(desktop, koro, 2, f"^{APPLICATION_TITLE}$")
        later_number, _ = new_popup(desktop, koro, 3, "^Closed By Opener$")
        c.check(koro.proc.poll() is None, "the program survives writes into new windows")
        check_size(c, desktop, empty, (300, 217), "the written window has the size its opener asked for")
        for name, window in (("empty", empty), ("blank", blank)):
            c.check(desktop.wholly_on_screen(window),
                    f"the {name} written window lies wholly on the screen ({desktop.frame_rect(window)})")
        c.check(desktop.frame_rect(empty)[0][:2] != desktop.frame_rect(blank)[0][:2],
                "popups opened together do not lie on top of each other")
        c.check(desktop.window_title(blank) == APPLICATION_TITLE,
                "a popup without a title carries the application title")
        c.wait(lambda: koro.has_line("popupDestroyed TForm3 " + later_number),
               "the opener's close() removed the window it wrote", 30)

        # A real click on the written button runs the page's handler, whose alert is a Chinese
        # dialog of the popup.
        x, y, width, height = koro.widget_rect("TForm3-" + empty_number, "Webbrowser1")
        desktop.click(empty, x + width // 2, y + height // 4)
        dialog = e2e.wait_for(lambda: desktop.windows("^来自 127.0.0.1 的网页消息$"), timeout=30,
                              what="the message of the button's handler")[-1]
        time.sleep(0.5)
        desktop.screenshot("popup-written-alert.png")
        owner = desktop.xprop(dialog, "WM_TRANSIENT_FOR").split()[-1]
        c.check(owner.startswith("0x") and int(owner, 16) == int(empty),
                f"the page's message belongs to its popup ({owner})")
        e2e.key(desktop, "Return", window=dialog)
        e2e.wait_for(lambda: not desktop.windows("^来自 127.0.0.1 的网页消息$"), timeout=30,
                     what="the message answered")
        # The handler goes on once its message is answered.
        c.wait(lambda: pages.seen("/clicked"), "a click on a written button ran the page's handler", 30)

        # Keys typed into its form reach the page, and the form is sent.
        desktop.click(empty, x + width // 2, y + 3 * height // 4)
        time.sleep(0.3)
        e2e.key(desktop, "k", "o", "r", "o")
        time.sleep(0.5)
        desktop.screenshot("popup-written.png")
        e2e.key(desktop, "Return")
        c.wait(lambda: koro.has_line(f"documentComplete Webbrowser1 {pages.base}/submitted?q=koro"),
               "typing into a written form and pressing Return sends it", 30)

        # The written window's own window.close().
        desktop.click(blank, *koro.widget_centre("TForm3-" + blank_number, "Webbrowser1"))
        koro.wait_line("popupDestroyed TForm3 " + blank_number)
        c.check(not desktop.windows(f"^{APPLICATION_TITLE}$"), "window.close() in a written window closed it")
        # The main page browses on.
        c.wait(lambda: koro.has_line("documentComplete webbrowser1 " + pages.base + "/after"),
               "the main page navigated after the writes", 60)
        time.sleep(1)
        c.check(koro.proc.poll() is None, "the program still runs after browsing on")
    pages.page("/tel/v1000", HOME)


def old_form_run(c, desktop, pages, scratch, args):
    with configured(desktop, pages, scratch, args, "oldform", "OldForm") as koro:
        main = e2e.main_window(desktop, koro)
        koro.wait_line("documentComplete webbrowser1 " + pages.base + "/popped", 60)
        c.check(koro.has_line("beforeNavigate2 Webbrowser2 " + pages.base + "/popped"),
                "OldForm: the catcher received the new window's address")
        c.check(not popups_created(koro), "OldForm: no popup was created")
        c.check(not desktop.windows("^Popped Window$"), "OldForm: no popup window appeared")
        c.check(not koro.has_line("documentComplete Webbrowser2"), "the catcher loaded nothing")
        c.check(len(desktop.windows("Koro网络电视 3.0")) == 1 and main, "the main window is still there")


def own_window_run(c, desktop, pages, scratch, args):
    """MinTask=1 and FrontShow=0: a popup without owner, not on top, and an exit with it open."""
    with configured(desktop, pages, scratch, args, "mintask", "NewForm",
                    "MinTask=1\r\nFrontShow=0\r\n") as koro:
        main = e2e.main_window(desktop, koro)
        number, popped = new_popup(desktop, koro, 1, "^Popped Window$")
        c.check("_NET_WM_STATE_ABOVE" not in desktop.xprop(popped, "_NET_WM_STATE"),
                "FrontShow=0: the popup is a normal window")
        # Close the main window (its close box) while the popup is open.
        desktop.close(main)
        c.check(koro.wait_exit(60) == 0, "the program exits cleanly with a popup of its own open")
        c.check(koro.has_line("popupDestroyed TForm3 " + number), "the popup went with the main window")


def body(c, desktop, pages, scratch, args):
    pages.page("/tel/v1000", HOME)
    pages.page("/popped", POPPED)
    pages.page("/linked", LINKED)
    pages.page("/after", AFTER)
    written_run(c, desktop, pages, scratch, args)
    new_form_run(c, desktop, pages, scratch, args)
    old_form_run(c, desktop, pages, scratch, args)
    own_window_run(c, desktop, pages, scratch, args)


if __name__ == "__main__":
    e2e.run("popups", body)
