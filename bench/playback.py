"""Shared pieces of the playback benchmarks: the test clip, the page that plays it and reports
what the page counts, and the players to compare under one private desktop."""
import os
import shutil
import subprocess
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

from startup_bench import idle_cpu, tree  # noqa: E402

def make_clip(folder, seconds=20):
    """A 1280x720 30 fps H.264/AAC clip made with ffmpeg, kept between runs."""
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, f"clip-720p30-{seconds}s.mp4")
    if not os.path.exists(path):
        subprocess.run(["ffmpeg", "-loglevel", "error", "-y",
                        "-f", "lavfi", "-i", f"testsrc2=size=1280x720:rate=30:duration={seconds}",
                        "-f", "lavfi", "-i", f"sine=frequency=440:sample_rate=48000:duration={seconds}",
                        "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p",
                        "-profile:v", "main", "-g", "60", "-b:v", "2500k",
                        "-c:a", "aac", "-b:a", "128k", "-movflags", "+faststart",
                        path + ".part.mp4"], check=True)
        os.replace(path + ".part.mp4", path)
    return path


def page(who):
    """<video autoplay muted loop> at 640x360; once a second the page reports the frames it
    decoded and dropped to /stats/<who>."""
    return f"""<html><head><title>play</title></head><body style="margin:0;background:#000">
<video id="v" src="/clip.mp4" width="640" height="360" autoplay muted loop></video>
<script>
setInterval(function () {{
  var v = document.getElementById('v');
  var q = v.getVideoPlaybackQuality();
  fetch('/stats/{who}?decoded=' + q.totalVideoFrames + '&dropped=' + q.droppedVideoFrames +
        '&t=' + v.currentTime, {{cache: 'no-store'}});
}}, 1000);
</script></body></html>"""


def stats(pages, who):
    """(decoded, dropped) as the page last reported them, or None."""
    with pages.lock:
        seen = [p for p in pages.requests if p.startswith(f"/stats/{who}?")]
    if not seen:
        return None
    query = dict(kv.split("=", 1) for kv in seen[-1].split("?", 1)[1].split("&"))
    return int(query["decoded"]), int(query["dropped"])


class Player:
    """One program playing the page, started in a process group of its own."""

    def __init__(self, name, command, env, cwd=None):
        self.name = name
        self.command = command
        self.env = env
        self.cwd = cwd
        self.proc = None

    def start(self):
        self.proc = subprocess.Popen(self.command, env=self.env, cwd=self.cwd,
                                     stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        return self

    def stop(self):
        if self.proc and self.proc.poll() is None:
            os.killpg(self.proc.pid, 15)
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.proc.pid, 9)
                self.proc.wait()


def koro_player(desktop, harness, base, folder, extra_env=None):
    os.makedirs(folder, exist_ok=True)
    exe = os.path.join(folder, "koro")
    if not os.path.exists(exe):
        shutil.copy2(harness, exe)
    env = desktop.env({"KORO_E2E_BASE": base, **(extra_env or {})})
    return Player("koro", ["dbus-run-session", "--", exe], env, cwd=folder)


def bare_player(desktop, bare, url, software=True):
    env = desktop.env({"QT_QUICK_BACKEND": "software"} if software else None)
    if not software:
        env.pop("QT_QUICK_BACKEND", None)
    return Player("bare" if software else "bare (OpenGL)", ["dbus-run-session", "--", bare, url], env)


def chromium_binary():
    return shutil.which("chromium") or shutil.which("chromium-browser")


def chromium_player(desktop, url, profile):
    return Player("chromium", [chromium_binary(), f"--app={url}", "--disable-gpu", "--no-sandbox",
                               f"--user-data-dir={profile}", "--no-first-run",
                               "--disable-background-networking", "--disable-component-update",
                               "--disable-sync", "--window-size=784,564",
                               "--autoplay-policy=no-user-gesture-required"], desktop.env())


def ffmpeg_floor(clip, seconds):
    """CPU of decoding the clip alone at its own pace: what playing it costs at the least."""
    proc = subprocess.Popen(["ffmpeg", "-loglevel", "error", "-re", "-stream_loop", "-1", "-i", clip,
                             "-f", "null", "-"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    try:
        time.sleep(2)
        return idle_cpu(proc.pid, seconds)
    finally:
        os.killpg(proc.pid, 15)
        proc.wait()


def threads_and_fds(pid):
    threads = fds = 0
    for p in tree(pid):
        try:
            threads += len(os.listdir(f"/proc/{p}/task"))
            fds += len(os.listdir(f"/proc/{p}/fd"))
        except OSError:
            pass
    return threads, fds


def pss_kib(pid):
    total = 0
    for p in tree(pid):
        try:
            with open(f"/proc/{p}/smaps_rollup") as f:
                total += next(int(l.split()[1]) for l in f if l.startswith("Pss:"))
        except (OSError, StopIteration):
            pass
    return total
