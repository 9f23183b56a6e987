"""The favorites menu with the real program under Xvfb: the Favorites folder of the program's
home folder shows as "IE收藏夹" under "我的收藏", and a favorite chosen with the keyboard opens
its page in the page area."""
import os
import time

import koro_e2e as e2e


def write_shortcut(path, url):
    e2e.write_text(path, "[InternetShortcut]\r\nURL=" + url + "\r\n")


def body(c, desktop, pages, scratch, args):
    home = os.path.join(scratch, "home")
    favorites = os.path.join(home, "Favorites")
    write_shortcut(os.path.join(favorites, "视频", "节目单.url"), pages.base + "/fav/show")
    write_shortcut(os.path.join(favorites, "首页.url"), pages.base + "/fav/top")
    pages.page("/fav/show", "<html><head><title>节目单</title></head><body>show</body></html>")

    with e2e.program(desktop, args, os.path.join(scratch, "app"), pages.base,
                     env={"HOME": home}) as koro:
        window = e2e.main_window(desktop, koro)
        koro.wait_line("documentComplete webbrowser1 " + pages.base + "/tel/v1000", 60)

        # Open "我的收藏" with the mouse, then walk with the keys: IE收藏夹, past the two fixed
        # items, into the folder; its shortcut is then the active item.
        x, y, width, height = koro.caption_rect("我的收藏")
        desktop.click(window, x + width // 2, y + height // 2)
        time.sleep(0.7)
        e2e.key(desktop, "Down", "Right")
        time.sleep(0.3)
        e2e.key(desktop, "Down", "Down", "Right")
        time.sleep(0.7)
        desktop.screenshot("favorites-menu-open.png")
        c.check(not koro.has_line("beforeNavigate2 webbrowser1 " + pages.base + "/fav/"),
                "nothing is opened while the menu is open")
        e2e.key(desktop, "Return")

        koro.wait_line("documentComplete webbrowser1 " + pages.base + "/fav/show", 30)
        c.check(pages.seen("/fav/show"), "the favorite's page was requested from the server")
        c.check(not pages.seen("/fav/top"), "the other favorite was not opened")


if __name__ == "__main__":
    e2e.run("favorites", body)
