"""A playlist given on the command line opens in the channel page and plays at once; the keys
work without a click; failures say why in Chinese and offer the next channel; a double click
on the picture toggles compact mode."""
import os
import time

import koro_e2e as e2e

TITLE = "Koro网络电视 3.0"


def body(c, desktop, pages, scratch, args):
    with e2e.stream_server(scratch) as (media, streams):
        one = e2e.make_stream(media, "one", tone=330)
        two = e2e.make_stream(media, "two", tone=660)
        clip = e2e.make_stream(media, "clip", kind="mp4")
        playlist = os.path.join(scratch, "频道.m3u")
        e2e.write_text(
            playlist,
            "#EXTM3U\n"
            f'#EXTINF:-1 group-title="新闻",一台\n{streams.base}/{one}\n'
            f'#EXTINF:-1 group-title="新闻",二台\n{streams.base}/{two}\n'
            f'#EXTINF:-1 group-title="电影",短片\n{streams.base}/{clip}\n'
            f'#EXTINF:-1 group-title="坏的",不存在\n{streams.base}/missing/index.m3u8\n'
            f'#EXTINF:-1 group-title="坏的",拒绝\nhttp://127.0.0.1:{e2e.refused_port()}/x.m3u8\n')
        folder = os.path.join(scratch, "app")
        with e2e.program(desktop, args, folder, pages.base,
                         argv=[os.path.relpath(playlist, folder)]) as koro:
            plays = lambda i: [d for _, d in e2e.tv_events(koro, "playing")].count(str(i))
            playing = lambda i: plays(i) > 0
            e2e.wait_for(lambda: playing(0), timeout=60, what="the first channel playing")
            c.check(e2e.tv_events(koro, "shown")[-1][1] == "5", "all five channels are listed")
            c.check(streams.seen(f"/{one}"), "the first channel's HLS list was fetched")
            window = e2e.main_window(desktop)
            time.sleep(1)
            desktop.screenshot("tv-channel-page.png")

            # The page has the keys at once: no click went to it.
            e2e.key(desktop, "Next", window=window)
            c.wait(lambda: playing(1), "Page Down switches to the next channel", 15)
            e2e.key(desktop, "Down", window=window)
            c.wait(lambda: playing(2), "an MP4 channel plays in the engine itself", 15)
            e2e.key(desktop, "Up", window=window)
            c.wait(lambda: plays(1) >= 2, "the up arrow goes back a channel", 15)

            e2e.key(desktop, "4", "Return", window=window)
            failed = lambda i: [d for _, d in e2e.tv_events(koro, "failed") if d.startswith(f"{i} ")]
            e2e.wait_for(lambda: failed(3), timeout=30, what="the missing channel failing")
            c.check("找不到(404)" in failed(3)[0], f"a missing stream says it was not found: {failed(3)}")
            time.sleep(0.5)
            desktop.screenshot("tv-channel-failed.png")
            # The failure offers the next channel, and has the focus for it.
            e2e.key(desktop, "Return", window=window)
            e2e.wait_for(lambda: failed(4), timeout=30, what="the refused channel failing")
            c.check("连接被拒绝" in failed(4)[0], f"a refused stream says so: {failed(4)}")
            c.check(koro.proc.poll() is None, "nothing hangs or ends the program")

            # A double click on the picture: compact mode and back.
            e2e.key(desktop, "1", "Return", window=window)
            e2e.wait_for(lambda: plays(0) >= 2, timeout=15, what="the first channel again")
            x, y, w, h = koro.widget_rect("TForm1", "PageArea")
            double_click = lambda: desktop.click(window, x + w - 120, y + h // 2, "--repeat", "2",
                                                 "--delay", "80", "1")
            double_click()
            e2e.wait_for(lambda: desktop.window_title(window) != TITLE, timeout=10,
                         what="compact mode")
            c.check(desktop.window_title(window).startswith(TITLE + " "),
                     "a double click on the picture enters compact mode")
            time.sleep(0.5)
            desktop.screenshot("tv-compact.png")
            double_click()
            c.wait(lambda: desktop.window_title(window) == TITLE, "a second double click leaves it")
            e2e.key(desktop, "2", "Return", window=window)
            e2e.wait_for(lambda: plays(1) >= 3, timeout=15, what="the second channel again")

        # The next start plays the channel last watched from that list.
        with e2e.program(desktop, args, folder, pages.base, argv=[playlist]) as again:
            e2e.wait_for(lambda: e2e.tv_events(again, "playing"), timeout=60, what="playing again")
            c.check(e2e.tv_events(again, "playing")[0][1] == "1",
                    "the next start plays the channel last watched")


if __name__ == "__main__":
    e2e.run("tv_playlist", body)
