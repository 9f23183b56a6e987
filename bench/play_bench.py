#!/usr/bin/env python3
"""What watching costs: Koro (the test harness, its home page a local page playing a 1280x720
30 fps H.264/AAC clip at 640x360) against a bare page window at its best set-up (Qt Quick's
software scene graph) and, when installed, Chromium, all under one private Xvfb + openbox.
Rounds are interleaved; each player settles for 10 s, then the CPU of its whole process tree
is taken over 20 s, with the frames the page decoded and dropped meanwhile
(getVideoPlaybackQuality). Last, the CPU of ffmpeg decoding the clip alone at its own pace.

    python3 bench/play_bench.py --harness build/tests/koro_harness --bare build/bench/bare_webview
"""
import argparse
import os
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
sys.path.insert(0, HERE)
import koro_e2e as e2e  # noqa: E402
import playback  # noqa: E402
from startup_bench import program_arguments  # noqa: E402


def measure(player, pages, who, settle, seconds):
    player.start()
    try:
        e2e.wait_for(lambda: playback.stats(pages, who), timeout=60, what=f"{who} playing")
        time.sleep(settle)
        before = playback.stats(pages, who)
        cpu = playback.idle_cpu(player.proc.pid, seconds)
        time.sleep(1.2)  # the page's next report covers the whole window
        after = playback.stats(pages, who)
        return cpu, after[0] - before[0], after[1] - before[1]
    finally:
        player.stop()


def main():
    parser = program_arguments()
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--settle", type=float, default=10)
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--opengl", action="store_true",
                        help="also the bare window on Qt Quick's OpenGL path")
    args = parser.parse_args()

    clip = playback.make_clip(os.path.join(playback.ROOT, "build", "bench-media"))
    scratch = tempfile.mkdtemp(prefix="koro-play-")
    with e2e.session(argparse.Namespace(artifacts=scratch)) as (desktop, pages, _):
        with open(clip, "rb") as f:
            pages.page("/clip.mp4", f.read(), "video/mp4")
        for who in ("koro", "bare", "opengl", "chromium"):
            pages.page(f"/play/{who}", playback.page(who))
        pages.page("/tel/v1000", playback.page("koro"))

        players = [
            ("koro", lambda r: playback.koro_player(desktop, args.harness, pages.base,
                                                    os.path.join(scratch, f"koro{r}"))),
            ("bare", lambda r: playback.bare_player(desktop, args.bare, pages.base + "/play/bare")),
        ]
        if args.opengl:
            players.append(("opengl", lambda r: playback.bare_player(
                desktop, args.bare, pages.base + "/play/opengl", software=False)))
        if playback.chromium_binary():
            players.append(("chromium", lambda r: playback.chromium_player(
                desktop, pages.base + "/play/chromium", os.path.join(scratch, f"chromium{r}"))))

        results = {name: [] for name, _ in players}
        for r in range(args.rounds):
            for name, make in players:
                results[name].append(measure(make(r), pages, name, args.settle, args.seconds))
        floor = playback.ffmpeg_floor(clip, args.seconds)

    print(f"{'':12}{'CPU % of a core':>16}{'decoded':>10}{'dropped':>10}   (medians of {args.rounds} rounds)")
    med = {name: [statistics.median(r[i] for r in rows) for i in range(3)]
           for name, rows in results.items()}
    for name, (cpu, decoded, dropped) in med.items():
        print(f"{name:12}{cpu:16.1f}{decoded:10.0f}{dropped:10.0f}")
    print(f"{'ffmpeg floor':12}{floor:16.1f}")
    print("per-round CPU: " + "; ".join(
        f"{name} " + " ".join(f"{row[0]:.1f}" for row in rows) for name, rows in results.items()))
    if "chromium" in med:
        print(f"koro / chromium: {med['koro'][0] / med['chromium'][0]:.2f}, "
              f"bare / chromium: {med['bare'][0] / med['chromium'][0]:.2f}")
    else:
        print("chromium not installed: no comparison with it")
    print(f"koro / bare: {med['koro'][0] / med['bare'][0]:.2f}")


if __name__ == "__main__":
    main()
