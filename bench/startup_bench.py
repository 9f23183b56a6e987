#!/usr/bin/env python3
"""Start-up time and memory of Koro (the test harness on a local server) against a bare page
window loading the same page (with the software scene graph, its best set-up without a GPU):
five runs each, medians and ratios; then idle CPU over 60 s.

    python3 bench/startup_bench.py --harness build/tests/koro_harness --bare build/bench/bare_webview
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import koro_e2e as e2e  # noqa: E402

CLK_TCK = os.sysconf("SC_CLK_TCK")
PAGE = "<html><head><title>portal</title></head><body><h1>Koro portal</h1>" + "<p>channel list</p>" * 50 + "</body></html>"


def tree(pid):
    pids, todo = [], [pid]
    while todo:
        p = todo.pop()
        pids.append(p)
        try:
            for tid in os.listdir(f"/proc/{p}/task"):
                with open(f"/proc/{p}/task/{tid}/children") as f:
                    todo += [int(c) for c in f.read().split()]
        except OSError:
            pass
    return pids


def tree_sum(pid, read):
    """Sum of read(pid) over the process and its descendants; processes that ended count 0."""
    total = 0
    for p in tree(pid):
        try:
            total += read(p)
        except OSError:
            pass
    return total


def _rss(p):
    with open(f"/proc/{p}/status") as f:
        return next((int(line.split()[1]) for line in f if line.startswith("VmRSS:")), 0)


def _cpu(p):
    with open(f"/proc/{p}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def rss_kib(pid):
    return tree_sum(pid, _rss)


def cpu_ticks(pid):
    return tree_sum(pid, _cpu)


def wait_line(proc_lines, text, timeout=60):
    return e2e.wait_for(lambda: next((l for l in proc_lines() if text in l), None), timeout=timeout,
                        interval=0.02, what=text)


def run_koro(desktop, harness, base, idle=0):
    folder = tempfile.mkdtemp(prefix="koro-bench-")
    try:
        koro = e2e.Koro(desktop, harness, folder, base=base)
        t0 = time.monotonic()
        koro.start()
        wait_line(koro.output, "e2e: shown")
        shown = time.monotonic() - t0
        wait_line(koro.output, "documentComplete webbrowser1 " + base + "/tel/v1000")
        loaded = time.monotonic() - t0
        time.sleep(3)
        mem = rss_kib(koro.proc.pid)
        cpu = idle_cpu(koro.proc.pid, idle) if idle else None
        koro.stop()
        return shown, loaded, mem, cpu
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def run_bare(desktop, bare, url, idle=0):
    lines = []
    t0 = time.monotonic()
    # At its best set-up without a GPU: Qt Quick's software scene graph, as Koro chooses there.
    proc = subprocess.Popen(["dbus-run-session", "--", bare, url],
                            env=desktop.env({"QT_QUICK_BACKEND": "software"}), stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL,
                            text=True, start_new_session=True)
    import threading
    threading.Thread(target=lambda: [lines.append(l) for l in proc.stdout], daemon=True).start()
    wait_line(lambda: list(lines), "shown")
    shown = time.monotonic() - t0
    wait_line(lambda: list(lines), "loaded")
    loaded = time.monotonic() - t0
    time.sleep(3)
    mem = rss_kib(proc.pid)
    cpu = idle_cpu(proc.pid, idle) if idle else None
    os.killpg(proc.pid, 15)
    proc.wait(timeout=10)
    return shown, loaded, mem, cpu


def idle_cpu(pid, seconds):
    before = cpu_ticks(pid)
    time.sleep(seconds)
    return (cpu_ticks(pid) - before) / CLK_TCK / seconds * 100.0


def program_arguments():
    """The arguments every comparison takes: the test harness and the bare page window."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--harness", required=True)
    parser.add_argument("--bare", required=True)
    return parser


def main():
    parser = program_arguments()
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--idle", type=int, default=60)
    args = parser.parse_args()
    with e2e.session(argparse.Namespace(artifacts=tempfile.mkdtemp())) as (desktop, pages, _):
        pages.page("/tel/v1000", PAGE)
        url = pages.base + "/tel/v1000"
        koro, bare = [], []
        for _ in range(args.runs):  # interleaved, so drift hits both alike
            koro.append(run_koro(desktop, args.harness, pages.base))
            bare.append(run_bare(desktop, args.bare, url))
        med = lambda rows, i: statistics.median(r[i] for r in rows)
        print(f"{'':22}{'koro':>10}{'bare':>10}{'ratio':>8}")
        for i, name, unit in ((0, "window shown", "s"), (1, "home page loaded", "s"), (2, "resident memory", "MiB")):
            k, b = med(koro, i), med(bare, i)
            if unit == "MiB":
                k, b = k / 1024, b / 1024
            print(f"{name + ' (' + unit + ')':22}{k:10.3f}{b:10.3f}{k / b:8.2f}")
        if args.idle:
            k = run_koro(desktop, args.harness, pages.base, idle=args.idle)[3]
            b = run_bare(desktop, args.bare, url, idle=args.idle)[3]
            print(f"idle CPU over {args.idle} s (% of one core): koro {k:.2f}, bare {b:.2f}")


if __name__ == "__main__":
    main()
