"""A reminder set from the guide grid for the next minute brings the reminder bubble with its
alarm, and then the reminded channel."""
import json
import os
import time

import koro_e2e as e2e


def xmltv(secs):
    return time.strftime("%Y%m%d%H%M%S +0000", time.gmtime(secs))


def body(c, desktop, pages, scratch, args):
    with e2e.stream_server(scratch) as (media, streams):
        one = e2e.make_stream(media, "one", seconds=120)
        two = e2e.make_stream(media, "two", seconds=120, tone=880)
        now = int(time.time())
        start = now - now % 60 + 60
        if start - now < 25:  # time enough to set it
            start += 60
        e2e.write_text(
            os.path.join(media, "guide.xml"),
            '<?xml version="1.0" encoding="UTF-8"?><tv>'
            '<channel id="two"><display-name>二台</display-name></channel>'
            f'<programme start="{xmltv(now - 600)}" stop="{xmltv(start)}" channel="two">'
            '<title>正在播的</title></programme>'
            f'<programme start="{xmltv(start)}" stop="{xmltv(start + 1800)}" channel="two">'
            '<title>晚间新闻</title><desc>今天的新闻</desc></programme></tv>')
        playlist = os.path.join(scratch, "list.m3u")
        e2e.write_text(
            playlist,
            f'#EXTM3U x-tvg-url="{streams.base}/guide.xml"\n'
            f"#EXTINF:-1,一台\n{streams.base}/{one}\n"
            f'#EXTINF:-1 tvg-id="two",二台\n{streams.base}/{two}\n')
        folder = os.path.join(scratch, "app")
        with e2e.program(desktop, args, folder, pages.base, argv=[playlist]) as koro:
            e2e.wait_for(lambda: e2e.tv_events(koro, "playing") and e2e.tv_events(koro, "guide"),
                         timeout=60, what="playing with the guide")
            c.check(e2e.tv_events(koro, "guide")[-1][1] == "2", "the guide's two programmes kept")
            koro.send("interval TimerGuideReminders 500")
            window = e2e.main_window(desktop)
            koro.send("trigger TvGuide")
            time.sleep(2)
            desktop.screenshot("tv-guide-grid.png")
            # From "返回频道", past "早些" and "晚些", to the first "提醒我": the next programme.
            e2e.key(desktop, "Tab", "Tab", "Tab", "Return", window=window)
            stored = os.path.join(folder, "tv", "reminders.json")
            e2e.wait_for(lambda: os.path.exists(stored), timeout=10, what="the reminder stored")
            reminders = json.loads(e2e.read_bytes(stored))
            c.check([r["title"] for r in reminders] == ["晚间新闻"] and reminders[0]["start"] == start,
                    f"the reminder is kept in the user's folder: {reminders}")
            time.sleep(0.5)
            desktop.screenshot("tv-guide-reminded.png")
            e2e.key(desktop, "Escape", window=window)

            bubble = lambda: [l for l in koro.output() if l.startswith("e2e: shown TfrmPS")]
            e2e.wait_for(bubble, timeout=start - time.time() + 30, what="the reminder bubble")
            c.check(time.time() >= start - 1, "the reminder comes when the programme starts")
            c.check("二台-晚间新闻" in bubble()[0], f"it names channel and programme: {bubble()[0]}")
            time.sleep(0.5)
            desktop.screenshot("tv-reminder.png")
            c.wait(lambda: koro.has_line("e2e: ring TimerSound"), "the alarm rings", 15)
            # Ten seconds without an answer: the reminded channel.
            c.wait(lambda: any(d == "1" for _, d in e2e.tv_events(koro, "playing")),
                   "the reminded channel plays", 30)
            c.check(json.loads(e2e.read_bytes(stored)) == [], "a reminder that came is gone")


if __name__ == "__main__":
    e2e.run("tv_reminder", body)
