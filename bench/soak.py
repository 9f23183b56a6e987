#!/usr/bin/env python3
"""A long evening: Koro (the test harness) plays the benchmark clip in a loop for N minutes with
the ad line rotating from a local feed and a scheduled viewing armed, under a private Xvfb.
Every minute it samples the whole process tree: proportional memory (PSS), open file
descriptors and threads; at the end it prints the samples and the growth per hour (least
squares over the samples after the first five minutes, when caches have filled).

    python3 bench/soak.py --harness build/tests/koro_harness --minutes 60
"""
import argparse
import datetime
import os
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
sys.path.insert(0, HERE)
import koro_e2e as e2e  # noqa: E402
import playback  # noqa: E402

WARM_UP_MINUTES = 5


def slope_per_hour(samples):
    """Least-squares slope of (minute, value) pairs, per hour."""
    n = len(samples)
    if n < 2:
        return 0.0
    mx = sum(m for m, _ in samples) / n
    my = sum(v for _, v in samples) / n
    den = sum((m - mx) ** 2 for m, _ in samples)
    return 60 * sum((m - mx) * (v - my) for m, v in samples) / den if den else 0.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--harness", required=True)
    parser.add_argument("--minutes", type=int, default=60)
    args = parser.parse_args()

    clip = playback.make_clip(os.path.join(playback.ROOT, "build", "bench-media"))
    scratch = tempfile.mkdtemp(prefix="koro-soak-")
    folder = os.path.join(scratch, "app")
    os.makedirs(folder)
    # Armed for twelve hours from now: the check runs every 4 s all evening without firing.
    at = datetime.datetime.now() + datetime.timedelta(hours=12)
    with open(os.path.join(folder, "user.ini"), "wb") as f:
        f.write(f"[UserTv]\r\nSeeTime={at.hour}:{at.minute}\r\nChannelName=soak\r\n"
                f"ChannelUrl=http://127.0.0.1:1/none\r\n".encode())
    with e2e.session(argparse.Namespace(artifacts=scratch)) as (desktop, pages, _):
        with open(clip, "rb") as f:
            pages.page("/clip.mp4", f.read(), "video/mp4")
        pages.page("/tel/v1000", playback.page("koro"))
        feed = "".join(f"第{i}条广告\r\n{pages.base}/ad/{i}\r\n" for i in range(6))
        pages.page("/ad/ad.txt", feed.encode("gb18030"), "text/plain")

        koro = playback.koro_player(desktop, args.harness, pages.base, folder).start()
        try:
            e2e.wait_for(lambda: playback.stats(pages, "koro"), timeout=60, what="playing")
            samples = []
            print(f"{'minute':>6}{'PSS MiB':>10}{'fds':>6}{'threads':>9}{'decoded':>9}{'dropped':>9}",
                  flush=True)
            start = time.monotonic()
            for minute in range(args.minutes + 1):
                time.sleep(max(0.0, start + 60 * minute - time.monotonic()))
                if koro.proc.poll() is not None:
                    raise SystemExit(f"Koro ended after {minute} minutes")
                pss = playback.pss_kib(koro.proc.pid) / 1024
                threads, fds = playback.threads_and_fds(koro.proc.pid)
                decoded, dropped = playback.stats(pages, "koro")
                samples.append((minute, pss, fds, threads))
                print(f"{minute:6}{pss:10.1f}{fds:6}{threads:9}{decoded:9}{dropped:9}", flush=True)
        finally:
            koro.stop()

    settled = [s for s in samples if s[0] >= WARM_UP_MINUTES] or samples
    print(f"growth per hour after minute {WARM_UP_MINUTES}: "
          f"PSS {slope_per_hour([(m, p) for m, p, _, _ in settled]):+.1f} MiB, "
          f"fds {slope_per_hour([(m, f) for m, _, f, _ in settled]):+.1f}, "
          f"threads {slope_per_hour([(m, t) for m, _, _, t in settled]):+.1f}")
    print(f"fds {min(s[2] for s in settled)}..{max(s[2] for s in settled)}, "
          f"threads {min(s[3] for s in settled)}..{max(s[3] for s in settled)}")


if __name__ == "__main__":
    main()
