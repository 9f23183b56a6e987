"""An address typed into the address box and confirmed with Return loads in the page area."""
import os
import time

import koro_e2e as e2e


def body(c, desktop, pages, scratch, args):
    pages.page("/typed", "<html><head><title>typed</title></head>"
                         "<body style='background:#cfe8ff'><h1>typed address</h1></body></html>")
    with e2e.program(desktop, args, os.path.join(scratch, "app"), pages.base) as koro:
        window = e2e.main_window(desktop, koro)
        # Typing waits for the home page, so its late completion cannot be mistaken for ours.
        koro.wait_line("documentComplete webbrowser1 " + pages.base + "/tel/v1000", 60)
        c.check(not pages.seen("/typed"), "nothing asked for the typed page before typing")

        typed = pages.base.replace("http://", "") + "/typed"
        # Straight to the box: passing over the engine icon would open the engine menu.
        desktop.click(window, *koro.widget_centre("TForm1", "httpaddr"))
        time.sleep(0.3)
        desktop.type(typed)
        e2e.key(desktop, "Return")

        c.wait(lambda: pages.seen("/typed"), "the server was asked for the typed address", 30)
        done = pages.base + "/typed"
        c.wait(lambda: koro.has_line("documentComplete webbrowser1 " + done),
               "the typed page completed in webbrowser1", 30)
        lines = koro.output()
        c.check(any(l.endswith("beforeNavigate2 webbrowser1 " + done) for l in lines),
                "the page area was asked for the address with the scheme completed")
        c.check(not any("/baidu/" in l or "/taobao/" in l for l in lines) and
                not pages.seen("/baidu/s"), "no search was made")
        # Standard error is for real problems, not the page engine's start-up report.
        c.check(not any("Init Parameters" in l or "GL Type" in l or "qt.webenginecontext" in l
                        for l in lines), "a normal start prints no GL diagnostics")
        time.sleep(1)
        desktop.screenshot("address-typed.png")


if __name__ == "__main__":
    e2e.run("address_entry", body)
