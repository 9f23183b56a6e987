#!/usr/bin/env python3
"""TV figures of the real program (test harness) under a private Xvfb, with streams and guides
served on 127.0.0.1:

1. a playlist of 10,000 entries: from the open request to the channels shown in the page;
2. a guide of 35 MB (300 channels over 3 days): from the open request to now/next shown, the
   worst answer of the event loop meanwhile (a ping every 50 ms), and the program's extra
   memory (resident set of the main process, the page engine's processes aside);
3. channel switching on local HLS streams: from Page Down to the new picture playing.

Usage: python3 bench/tv_bench.py --harness build/tests/koro_harness [--switches 10]
"""
import argparse
import gzip
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
sys.path.insert(0, HERE)
import koro_e2e as e2e  # noqa: E402
from startup_bench import tree  # noqa: E402

GUIDE_CHANNELS = 300
GUIDE_DAYS = 3
SLOT = 1800


def xmltv(secs):
    return time.strftime("%Y%m%d%H%M%S +0000", time.gmtime(secs))


def write_guide(path, target_mb=35):
    """300 channels, a programme every half hour over three days from yesterday, descriptions
    long enough to make the file about target_mb."""
    start = int(time.time()) // 86400 * 86400 - 86400
    slots = GUIDE_DAYS * 86400 // SLOT
    per_programme = target_mb * 1024 * 1024 // (GUIDE_CHANNELS * slots)
    filler = ("节目介绍" * 200)
    with open(path, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<tv generator-info-name="bench">\n')
        for ch in range(GUIDE_CHANNELS):
            f.write(f'<channel id="ch{ch}"><display-name>频道 {ch}</display-name></channel>\n')
        for ch in range(GUIDE_CHANNELS):
            for s in range(slots):
                t = start + s * SLOT
                head = (f'<programme start="{xmltv(t)}" stop="{xmltv(t + SLOT)}" channel="ch{ch}">'
                        f"<title>第 {s} 个节目</title><desc>")
                tail = "</desc></programme>\n"
                room = max(0, per_programme - len((head + tail).encode()))
                f.write(head + filler[: room // 3] + tail)
        f.write("</tv>\n")
    return os.path.getsize(path)


def main_pid(koro):
    """The program's own process (the copied executable), not the session bus or the engine."""
    for pid in tree(koro.proc.pid):
        try:
            if os.path.basename(os.readlink(f"/proc/{pid}/exe")) == "koro":
                return pid
        except OSError:
            pass
    raise RuntimeError("no program process")


def status_kib(pid, key):
    with open(f"/proc/{pid}/status") as f:
        return next(int(line.split()[1]) for line in f if line.startswith(key + ":"))


def event_ms(koro, event, after_ms):
    return e2e.wait_for(lambda: next((ms for ms, _ in e2e.tv_events(koro, event) if ms >= after_ms),
                                     None), timeout=120, interval=0.02, what=event)


def opening_ms(koro, count):
    return e2e.wait_for(lambda: e2e.tv_events(koro, "opening")[count - 1][0]
                        if len(e2e.tv_events(koro, "opening")) >= count else None,
                        timeout=30, interval=0.02, what="opening")


class Pinger:
    """Asks the event loop every 50 ms and keeps the time each answer took."""

    def __init__(self, koro):
        self.koro = koro
        self.answers = []
        self.running = True
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def run(self):
        while self.running:
            seen = sum(1 for line in self.koro.output() if line.startswith("e2e: pong"))
            asked = time.monotonic()
            self.koro.send("ping")
            while self.running and sum(1 for line in self.koro.output()
                                       if line.startswith("e2e: pong")) <= seen:
                time.sleep(0.002)
            self.answers.append((time.monotonic() - asked) * 1000)
            time.sleep(0.05)

    def stop(self):
        self.running = False
        self.thread.join()
        return self.answers


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--harness", required=True)
    parser.add_argument("--switches", type=int, default=10)
    args = parser.parse_args()
    scratch = tempfile.mkdtemp(prefix="koro-tv-bench-")
    desktop = e2e.Desktop(scratch).start()
    media = os.path.join(scratch, "media")
    os.makedirs(media)
    streams = e2e.Streams(media)
    pages = e2e.Pages()
    koro = None
    try:
        one = e2e.make_stream(media, "one", seconds=120)
        two = e2e.make_stream(media, "two", seconds=120, tone=880)
        big = os.path.join(scratch, "big.m3u")
        with open(big, "w", encoding="utf-8") as f:
            f.write("#EXTM3U\n")
            for i in range(10000):
                stream = one if i % 2 == 0 else two
                f.write(f'#EXTINF:-1 tvg-id="x{i}" group-title="分组 {i // 500}",频道 {i}\n'
                        f"{streams.base}/{stream}\n")
        guide_bytes = write_guide(os.path.join(media, "guide.xml"))
        with open(os.path.join(media, "guide.xml"), "rb") as plain, \
                gzip.open(os.path.join(media, "guide.xml.gz"), "wb", compresslevel=6) as packed:
            packed.write(plain.read())
        guided = {}
        for name in ("guide.xml", "guide.xml.gz"):
            guided[name] = os.path.join(scratch, f"{name}.m3u")
            with open(guided[name], "w", encoding="utf-8") as f:
                f.write(f'#EXTM3U x-tvg-url="{streams.base}/{name}"\n')
                for ch in range(GUIDE_CHANNELS):
                    stream = one if ch % 2 == 0 else two
                    f.write(f'#EXTINF:-1 tvg-id="ch{ch}",频道 {ch}\n{streams.base}/{stream}\n')

        koro = e2e.Koro(desktop, args.harness, os.path.join(scratch, "app"), base=pages.base).start()
        window = e2e.main_window(desktop, koro)
        pid = main_pid(koro)
        time.sleep(2)

        # 1. 10,000 channels, into a fresh channel page and into the page already shown.
        for n, what in ((1, "first open (page loads)"), (2, "again (page already shown)")):
            koro.send(f"tvopen {big}")
            asked = opening_ms(koro, n)
            shown = event_ms(koro, "shown", asked)
            print(f"10,000-entry playlist, {what}: channels shown after {shown - asked} ms")
            time.sleep(3)

        # 2. The 35 MB guide, plain and compressed: downloaded into the cache, then read.
        rss_before = status_kib(pid, "VmRSS")
        for n, name in enumerate(guided, start=3):
            pinger = Pinger(koro)
            time.sleep(0.5)
            koro.send(f"tvopen {guided[name]}")
            asked = opening_ms(koro, n)
            loaded = event_ms(koro, "guide", asked)
            now_next = event_ms(koro, "nowNext", asked)
            time.sleep(0.5)
            answers = pinger.stop()
            rss_after = status_kib(pid, "VmRSS")
            size = os.path.getsize(os.path.join(media, name)) / 1024 / 1024
            programmes = e2e.tv_events(koro, "guide")[-1][1]
            print(f"{name} ({size:.1f} MB, {guide_bytes / 1024 / 1024:.1f} MB of XML, "
                  f"{programmes} programmes kept): read after {loaded - asked} ms, now/next shown "
                  f"after {now_next - asked} ms")
            print(f"  event loop meanwhile: {len(answers)} pings, worst answer "
                  f"{max(answers):.0f} ms, median {statistics.median(answers):.0f} ms")
            print(f"  program's resident memory: {rss_before / 1024:.0f} MiB before the guides, "
                  f"{rss_after / 1024:.0f} MiB now (+{(rss_after - rss_before) / 1024:.0f} MiB), "
                  f"peak so far {status_kib(pid, 'VmHWM') / 1024:.0f} MiB")

        # 3. Channel switching.
        e2e.key(desktop, "1", "Return", window=window)
        time.sleep(4)
        times = []
        for _ in range(args.switches):
            before = len(e2e.tv_events(koro, "playing"))
            pressed = time.monotonic() * 1000
            subprocess.run(["xdotool", "key", "Next"], env=desktop.env(), check=True)
            e2e.wait_for(lambda: len(e2e.tv_events(koro, "playing")) > before, timeout=30,
                         interval=0.01, what="the next channel playing")
            times.append(e2e.tv_events(koro, "playing")[-1][0] - pressed)
            time.sleep(1.5)
        print(f"channel switch (Page Down to picture, local HLS), {len(times)} times: median "
              f"{statistics.median(times):.0f} ms, worst {max(times):.0f} ms")
    finally:
        if koro:
            koro.stop()
        streams.stop()
        pages.stop()
        desktop.stop()


if __name__ == "__main__":
    main()
