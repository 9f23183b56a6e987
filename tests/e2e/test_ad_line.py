"""The ad line: the feed is fetched at start, its first ad shows and a click opens it in a popup;
a long ad keeps right of the go button, which keeps its clicks; a feed server that is down,
fails or trickles leaves the previous feed file byte for byte and the window responsive."""
import os
import time

import koro_e2e as e2e
from koro_e2e import main_window, wait_for


def gbk(text):
    return text.encode("gb18030")


def label(koro, name="labelad"):
    """(text, tooltip, (x, y, w, h)) of a label of the main window, on the screen, asked of the
    running program; None when it does not answer in time."""
    answer = koro.ask("label " + name, timeout=5)
    if answer is None:
        return None
    text, tip, rect = answer.split("\t")
    return text, tip, tuple(int(n) for n in rect.split())


def showing(koro, text):
    shown = label(koro)
    return shown if shown and shown[0] == text else None


def click_left_end(desktop, shown):
    """A real click just inside the left end of a label where it shows on the screen."""
    x, y, w, h = shown[2]
    desktop.click_at(x + 10, y + h // 2)


def body(checks, desktop, pages, scratch, args):
    folder = os.path.join(scratch, "app")
    feed = gbk("头条新闻\r\n" + pages.base + "/ad/one\r\n第二条\r\n" + pages.base + "/ad/two\r\n")
    pages.page("/ad/ad.txt", feed, "text/plain")

    with e2e.program(desktop, args, folder, pages.base) as koro:
        koro.wait_line("e2e: downloaded 1")
        checks.check(e2e.read_bytes(os.path.join(folder, "ad.txt")) == feed, "the feed is stored as served")
        main_window(desktop, koro)
        # The read and the rotation are shortened; the order stays the program's own.
        koro.send("interval Timer_Showad 1500")
        koro.send("interval Timer_Readad 200")
        first = wait_for(lambda: showing(koro, "头条新闻"), timeout=15, what="the first ad")
        checks.check(first[1] == pages.base + "/ad/one", "the first ad's link is its tooltip")
        desktop.screenshot("ad_line.png")
        second = wait_for(lambda: showing(koro, "第二条"), timeout=10, what="the second ad")
        checks.check(second[1] == pages.base + "/ad/two", "the second ad follows in file order")
        click_left_end(desktop, second)
        koro.wait_line("e2e: popupCreated TForm3", 15)
        opened = wait_for(lambda: [l for l in koro.output()
                                   if l.startswith("e2e: beforeNavigate2 Webbrowser1 ")
                                   and "/ad/" in l], timeout=15, what="the popup's page")
        checks.check(opened[0].endswith("/ad/one") or opened[0].endswith("/ad/two"),
                     "a click on the ad opens its link in a popup window")

    long_ad(checks, desktop, pages, scratch, args)

    before = e2e.read_bytes(os.path.join(folder, "ad.txt"))
    cases = [
        ("an error status", pages.base, lambda: pages.page("/ad/ad.txt", "gone", "text/plain", status=500)),
        ("a refused connection", f"http://127.0.0.1:{e2e.refused_port()}", lambda: None),
        ("a trickle slower than the time-out", pages.base,
         lambda: pages.trickle("/ad/ad.txt", b"x" * 4000, 100, 8.0)),
    ]
    for what, base, arrange in cases:
        arrange()
        with e2e.program(desktop, args, folder, base) as koro:
            started = time.monotonic()
            while not koro.has_line("e2e: downloaded") and time.monotonic() - started < 60:
                # The window answers while the download waits.
                if koro.ask("ping", reply="pong") is None:
                    checks.check(False, f"{what}: the window answers during the download")
                    break
                time.sleep(0.5)
            checks.check(koro.has_line("e2e: downloaded 0"), f"{what}: the download fails")
            checks.check(e2e.read_bytes(os.path.join(folder, "ad.txt")) == before,
                         f"{what}: the previous feed is kept byte for byte")
            checks.check(sorted(os.listdir(folder)).count("ad.txt") == 1 and
                         not [n for n in os.listdir(folder) if n.startswith("ad.txt.")],
                         f"{what}: no temporary file is left behind")

    # A hostile feed left in ad.txt, the server down: the program starts, shows the text as
    # text and opens nothing when it is clicked.
    e2e.write_text(os.path.join(folder, "ad.txt"),
                   b'<img src="/dev/zero">\r\nfile:///etc/passwd?http://\r\n')
    with e2e.program(desktop, args, folder, f"http://127.0.0.1:{e2e.refused_port()}") as koro:
        main_window(desktop, koro)
        koro.send("interval Timer_Showad 500")
        koro.send("interval Timer_Readad 200")
        shown = wait_for(lambda: showing(koro, '<img src="/dev/zero">'), timeout=15,
                         what="the hostile ad as text")
        checks.check(shown[1] == "", "a link that is no web address is not offered")
        click_left_end(desktop, shown)
        time.sleep(1.5)
        checks.check(label(koro) is not None, "the window answers after the click")
        checks.check(not koro.has_line("e2e: popupCreated"), "nothing opens")


def long_ad(checks, desktop, pages, scratch, args):
    """A 40-character ad once lay over the address box and the go button and took go's
    clicks."""
    text = "这是一条很长很长的广告文字，一共有四十个字符，会不会盖住地址栏和转到按钮呢？看看"
    pages.page("/ad/ad.txt", gbk(text + "\r\n" + pages.base + "/ad/long\r\n"), "text/plain")
    pages.page("/typed", "<html><head><title>typed</title></head><body>typed</body></html>")
    with e2e.program(desktop, args, os.path.join(scratch, "long"), pages.base) as koro:
        window = main_window(desktop, koro)
        koro.send("interval Timer_Showad 500")
        koro.send("interval Timer_Readad 200")
        shown = wait_for(lambda: showing(koro, text), timeout=15, what="the long ad")
        go = label(koro, name="gohttp")
        checks.check(go is not None and shown[2][0] >= go[2][0] + go[2][2],
                     "the long ad's place starts right of the go button")
        checks.check(text in shown[1], "the whole ad is its tooltip")
        desktop.screenshot("ad_line_long.png")

        desktop.click(window, *koro.widget_centre("TForm1", "httpaddr"))
        time.sleep(0.3)
        desktop.type(pages.base + "/typed")
        x, y, w, h = go[2]
        desktop.click_at(x + w // 2, y + h // 2)
        koro.wait_line("e2e: beforeNavigate2 webbrowser1 " + pages.base + "/typed", 15)
        time.sleep(1.5)
        checks.check(not koro.has_line("e2e: popupCreated"),
                     "a real click on go opens the typed address and no popup")


if __name__ == "__main__":
    e2e.run("ad line", body)
